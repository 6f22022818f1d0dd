#pragma once
// Binary DirectX X files built token by token, for the converter's tests and the fuzz seeds.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace kv::test {

class TXBinaryBuilder {
public:
    explicit TXBinaryBuilder(bool doubles = false) : Doubles_(doubles)
    {
        Data = doubles ? "xof 0302bin 0064" : "xof 0302bin 0032";
    }
    TXBinaryBuilder& Token(uint16_t code)
    {
        Data += char(code & 0xFF);
        Data += char(code >> 8);
        return *this;
    }
    TXBinaryBuilder& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            Data += char((v >> (8 * i)) & 0xFF);
        return *this;
    }
    TXBinaryBuilder& Name(std::string_view name)
    {
        Token(1).U32(uint32_t(name.size()));
        Data += name;
        return *this;
    }
    TXBinaryBuilder& String(std::string_view text)
    {
        Token(2).U32(uint32_t(text.size()));
        Data += text;
        return *this;
    }
    TXBinaryBuilder& Integers(const std::vector<uint32_t>& values)
    {
        Token(6).U32(uint32_t(values.size()));
        for (uint32_t v : values)
            U32(v);
        return *this;
    }
    TXBinaryBuilder& Floats(const std::vector<double>& values)
    {
        Token(7).U32(uint32_t(values.size()));
        for (double v : values) {
            if (Doubles_) {
                char bytes[8];
                std::memcpy(bytes, &v, 8);
                Data.append(bytes, 8);
            } else {
                const auto f = static_cast<float>(v);
                char bytes[4];
                std::memcpy(bytes, &f, 4);
                Data.append(bytes, 4);
            }
        }
        return *this;
    }
    TXBinaryBuilder& Open() { return Token(10); }
    TXBinaryBuilder& Close() { return Token(11); }

    std::string Data;

private:
    bool Doubles_;
};

// A mesh named `name` of a quad (0,0,z) (1,0,z) (1,1,z) (0,1,z) with a red material.
inline TXBinaryBuilder& AddBinaryQuad(TXBinaryBuilder& b, std::string_view name, double z)
{
    b.Name("Mesh").Name(name).Open();
    b.Integers({4}).Floats({0, 0, z, 1, 0, z, 1, 1, z, 0, 1, z}).Integers({1, 4, 0, 1, 2, 3});
    b.Name("MeshMaterialList").Open().Integers({1, 1, 0});
    b.Name("Material").Open().Floats({1, 0, 0, 1, 20, 0.25, 0.25, 0.25, 0, 0, 0});
    b.Name("TextureFilename").Open().String("rock.png").Token(20).Close();
    b.Close().Close();
    b.Name("MeshNormals").Open().Integers({1}).Floats({0, 0, 1}).Integers({1, 4, 0, 0, 0, 0}).Close();
    return b.Close();
}

} // namespace kv::test
