#include "scenefiles/GLXFileBinToText.h"

#include "platform/KVError.h"
#include "scenefiles/GLXFileGlobal.h"

#include <charconv>
#include <cstring>

namespace kv {

namespace {

enum TBinaryToken : uint16_t {
    tkName = 1,
    tkString = 2,
    tkInteger = 3,
    tkGUID = 5,
    tkIntegerList = 6,
    tkFloatList = 7,
    tkOpenBrace = 10,
    tkCloseBrace = 11,
    tkOpenParen = 12,
    tkCloseParen = 13,
    tkOpenBracket = 14,
    tkCloseBracket = 15,
    tkOpenAngle = 16,
    tkCloseAngle = 17,
    tkDot = 18,
    tkComma = 19,
    tkSemicolon = 20,
    tkTemplate = 31,
    tkEnd = 0xFFFF, // the data ended
};

// The type words of templates, by token code 40 upward.
constexpr const char* TypeWords[] = {"WORD",   "DWORD", "FLOAT",  "DOUBLE",  "CHAR",    "UCHAR", "SWORD",
                                     "SDWORD", "VOID",  "STRING", "UNICODE", "CSTRING", "array"};

// Nested objects recurse; a file cannot make the converter run out of stack.
constexpr int MaxDepth = 200;

struct TToken {
    uint16_t Code = tkEnd;
    std::string_view Text;      // name or string
    const char* List = nullptr; // the items of an integer or float list
    uint32_t Count = 0;
    uint32_t Integer = 0;
};

class TBinaryConverter {
public:
    TBinaryConverter(std::string_view data, TStreamProgress progress, int32_t floatSize)
        : Data_(data), Progress_(progress), FloatBytes_(floatSize == 64 ? 8 : 4)
    {
    }

    std::string Convert()
    {
        Out_ = "xof 0302txt 0064\r\n";
        Pos_ = 16;
        for (;;) {
            const TToken token = Next();
            if (token.Code == tkEnd)
                break;
            if (token.Code == tkTemplate)
                ConvertTemplate();
            else if (token.Code == tkName)
                ConvertObject(token.Text, 0, false);
            else
                Fail("Syntax Error: Object name missing");
        }
        return std::move(Out_);
    }

private:
    std::string_view Data_;
    TStreamProgress Progress_;
    size_t FloatBytes_;
    size_t Pos_ = 0;
    std::string Out_;
    int32_t Level_ = 0;

    [[noreturn]] static void Fail(const char* message) { throw EKorvelaError(message); }

    uint32_t U32(size_t at) const
    {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(Data_[at + size_t(i)]);
        return v;
    }

    void Need(size_t bytes) const
    {
        if (bytes > Data_.size() - Pos_)
            throw EKorvelaError("The binary X file ends inside a token");
    }

    TToken Next()
    {
        Progress_.Check(Pos_);
        TToken token;
        if (Data_.size() - Pos_ < 2)
            return token;
        token.Code = static_cast<uint16_t>(static_cast<unsigned char>(Data_[Pos_]) |
                                           (static_cast<unsigned char>(Data_[Pos_ + 1]) << 8));
        Pos_ += 2;
        switch (token.Code) {
        case tkName:
        case tkString: {
            Need(4);
            const uint32_t length = U32(Pos_);
            Pos_ += 4;
            Need(length);
            token.Text = Data_.substr(Pos_, length);
            Pos_ += length;
            break;
        }
        case tkInteger:
            Need(4);
            token.Integer = U32(Pos_);
            Pos_ += 4;
            break;
        case tkGUID:
            Need(16);
            token.List = Data_.data() + Pos_;
            Pos_ += 16;
            break;
        case tkIntegerList:
        case tkFloatList: {
            Need(4);
            token.Count = U32(Pos_);
            Pos_ += 4;
            const size_t itemBytes = token.Code == tkIntegerList ? 4 : FloatBytes_;
            // The count must be backed by the data before anything is read for it.
            if (token.Count > (Data_.size() - Pos_) / itemBytes)
                throw EKorvelaError("The binary X file claims a list of " + std::to_string(token.Count) +
                                    " numbers, more than it holds");
            token.List = Data_.data() + Pos_;
            Pos_ += token.Count * itemBytes;
            break;
        }
        default:
            break;
        }
        return token;
    }

    TToken Peek()
    {
        const size_t at = Pos_;
        TToken token = Next();
        Pos_ = at;
        return token;
    }

    static uint32_t IntegerAt(const TToken& list, uint32_t i)
    {
        uint32_t v;
        std::memcpy(&v, list.List + 4 * size_t(i), 4);
        return v;
    }

    double FloatAt(const TToken& list, uint32_t i) const
    {
        if (FloatBytes_ == 8) {
            double v;
            std::memcpy(&v, list.List + 8 * size_t(i), 8);
            return v;
        }
        float v;
        std::memcpy(&v, list.List + 4 * size_t(i), 4);
        return v;
    }

    // ---- output ----
    void Indent() { Out_.append(static_cast<size_t>(Level_), ' '); }
    void Line(std::string_view text)
    {
        Indent();
        Out_ += text;
        Out_ += "\r\n";
    }
    void AppendFixed(double v)
    {
        char buffer[400];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 6);
        Out_.append(buffer, result.ptr);
    }
    void AppendInteger(uint32_t v) { Out_ += std::to_string(v); }

    void ExpectOpenBrace()
    {
        if (Next().Code != tkOpenBrace)
            Fail("Missing Open Brace");
    }
    void ExpectCloseBrace()
    {
        if (Next().Code != tkCloseBrace)
            Fail("Syntax Error: } missing");
    }

    void OpenBlock(std::string_view type, std::string_view name)
    {
        Indent();
        Out_ += type;
        Out_ += ' ';
        if (!name.empty()) {
            Out_ += name;
            Out_ += ' ';
        }
        Out_ += "{\r\n";
        ++Level_;
    }
    void CloseBlock()
    {
        --Level_;
        Line("}");
    }

    // After an object's type name: its optional name and GUID, then the object.
    void ConvertObject(std::string_view type, int depth, bool inMesh)
    {
        if (depth >= MaxDepth)
            Fail("Objects nested too deeply");
        std::string_view name;
        if (Peek().Code == tkName)
            name = Next().Text;
        if (Peek().Code == tkGUID)
            Next();
        if (type == "Frame" && !inMesh) {
            ConvertFrame(name, depth);
        } else if (type == "Mesh" && !inMesh) {
            ConvertMesh("Mesh", name, depth);
        } else if (type == "MeshNormals" && inMesh) {
            ConvertMesh("MeshNormals", name, depth);
        } else if (type == "MeshTextureCoords" && inMesh) {
            ConvertTextureCoords(name);
        } else if (type == "MeshMaterialList" && inMesh) {
            ConvertMaterialList(name, depth);
        } else if (type == "Material") {
            ConvertMaterial(name, depth);
        } else if (type == "Header" && depth == 0) {
            ConvertHeader(name);
        } else if (type == "FrameTransformMatrix" && depth > 0 && !inMesh) {
            ConvertMatrix();
        } else {
            std::string skipping = "//Skipping: ";
            skipping += type;
            skipping += ' ';
            skipping += name;
            Line(skipping);
            SkipObject();
        }
    }

    void SkipObject()
    {
        ExpectOpenBrace();
        int64_t depth = 1;
        while (depth > 0) {
            const TToken token = Next();
            if (token.Code == tkEnd)
                Fail("Syntax Error: } missing");
            if (token.Code == tkOpenBrace)
                ++depth;
            else if (token.Code == tkCloseBrace)
                --depth;
        }
    }

    // The nested objects of a block up to its "}"; `references` allows "{ name }".
    void ConvertChildren(int depth, bool inMesh, bool references)
    {
        for (;;) {
            const TToken token = Next();
            if (token.Code == tkCloseBrace)
                return;
            if (token.Code == tkEnd)
                Fail("Syntax Error: } missing");
            if (token.Code == tkName) {
                ConvertObject(token.Text, depth + 1, inMesh);
            } else if (token.Code == tkOpenBrace && references) {
                const TToken name = Next();
                if (name.Code != tkName)
                    Fail("Syntax Error: Name Missing");
                if (Peek().Code == tkGUID)
                    Next();
                ExpectCloseBrace();
                std::string reference = "{ ";
                reference += name.Text;
                reference += " }";
                Line(reference);
            } else {
                Fail("Syntax Error: Name or \"}\" expected");
            }
        }
    }

    void ConvertFrame(std::string_view name, int depth)
    {
        ExpectOpenBrace();
        OpenBlock("Frame", name);
        ConvertChildren(depth, false, true);
        CloseBlock();
    }

    void ConvertMatrix()
    {
        ExpectOpenBrace();
        OpenBlock("FrameTransformMatrix", {});
        Indent();
        uint32_t values = 0;
        while (values < 16) {
            const TToken list = Next();
            if (list.Code != tkFloatList)
                Fail("Syntax Error: Real List missing");
            for (uint32_t i = 0; i < list.Count && values < 16; ++i, ++values) {
                AppendFixed(FloatAt(list, i));
                Out_ += ',';
            }
        }
        Out_ += ";\r\n";
        ExpectCloseBrace();
        CloseBlock();
    }

    uint32_t SingleInteger()
    {
        const TToken list = Next();
        if (list.Code != tkIntegerList)
            Fail("Syntax Error: Integer List missing");
        if (list.Count != 1)
            Fail("Syntax Error: Expected Single Integer");
        return IntegerAt(list, 0);
    }

    // Numbers of one kind that may run on over several lists of that kind.
    class TListCursor {
    public:
        TListCursor(TBinaryConverter& owner, uint16_t code) : Owner_(owner), Code_(code) {}
        bool Fetch()
        {
            while (At_ >= List_.Count) {
                List_ = Owner_.Next();
                At_ = 0;
                if (List_.Code != Code_)
                    return false;
            }
            return true;
        }
        uint32_t Integer()
        {
            if (!Fetch())
                Fail("Syntax Error: Integer List missing");
            return IntegerAt(List_, At_++);
        }
        double Float()
        {
            if (!Fetch())
                Fail("Syntax Error: Integer List missing");
            return Owner_.FloatAt(List_, At_++);
        }

    private:
        TBinaryConverter& Owner_;
        uint16_t Code_;
        TToken List_;
        uint32_t At_ = 0;
    };

    void ConvertMesh(std::string_view type, std::string_view name, int depth)
    {
        ExpectOpenBrace();
        OpenBlock(type, name);
        const uint32_t vertices = SingleInteger();
        if (vertices > (Data_.size() - Pos_) / (3 * FloatBytes_))
            throw EKorvelaError("The binary X file claims " + std::to_string(vertices) +
                                " vertices, more than it holds");
        Line(std::to_string(vertices) + ";");
        TListCursor floats(*this, tkFloatList);
        for (uint32_t i = 0; i < vertices; ++i) {
            Indent();
            for (int k = 0; k < 3; ++k) {
                AppendFixed(floats.Float());
                Out_ += ';';
            }
            Out_ += i + 1 == vertices ? ";\r\n" : ",\r\n";
        }
        TListCursor integers(*this, tkIntegerList);
        const uint32_t faces = integers.Integer();
        Line(std::to_string(faces) + ";");
        for (uint32_t i = 0; i < faces; ++i) {
            Indent();
            const uint32_t corners = integers.Integer();
            AppendInteger(corners);
            Out_ += ';';
            for (uint32_t k = 0; k < corners; ++k) {
                if (k > 0)
                    Out_ += ',';
                AppendInteger(integers.Integer());
            }
            Out_ += i + 1 == faces ? ";;\r\n" : ";,\r\n";
            Progress_.Check(Pos_);
        }
        ConvertChildren(depth, true, false);
        CloseBlock();
    }

    void ConvertTextureCoords(std::string_view name)
    {
        ExpectOpenBrace();
        OpenBlock("MeshTextureCoords", name);
        const uint32_t count = SingleInteger();
        Line(std::to_string(count) + ";");
        TListCursor floats(*this, tkFloatList);
        for (uint32_t i = 0; i < count; ++i) {
            Indent();
            AppendFixed(floats.Float());
            Out_ += ';';
            AppendFixed(floats.Float());
            Out_ += i + 1 == count ? ";;\r\n" : ";,\r\n";
        }
        ExpectCloseBrace();
        CloseBlock();
    }

    void ConvertMaterialList(std::string_view name, int depth)
    {
        ExpectOpenBrace();
        OpenBlock("MeshMaterialList", name);
        const TToken list = Next();
        if (list.Code != tkIntegerList)
            Fail("Syntax Error: Integer List missing");
        for (uint32_t i = 0; i < list.Count; ++i)
            Line(std::to_string(IntegerAt(list, i)) + ";");
        ConvertChildren(depth, true, true);
        CloseBlock();
    }

    void ConvertMaterial(std::string_view name, int depth)
    {
        ExpectOpenBrace();
        OpenBlock("Material", name);
        const TToken list = Next();
        if (list.Code != tkFloatList)
            Fail("Syntax Error: Real List missing");
        if (list.Count != 11)
            Fail("Error: Insufficient Reals in material");
        const auto numbers = [&](uint32_t first, uint32_t count) {
            Indent();
            for (uint32_t i = first; i < first + count; ++i) {
                AppendFixed(FloatAt(list, i));
                Out_ += ';';
            }
            Out_ += count > 1 ? ";\r\n" : "\r\n";
        };
        numbers(0, 4);
        numbers(4, 1);
        numbers(5, 3);
        numbers(8, 3);
        for (;;) {
            const TToken token = Next();
            if (token.Code == tkCloseBrace)
                break;
            if (token.Code == tkEnd)
                Fail("Syntax Error: } missing");
            if (token.Code != tkName)
                Fail("Syntax Error: Name or \"}\" expected");
            if (token.Text == "TextureFilename" || token.Text == "TextureFileName") {
                if (Peek().Code == tkName)
                    Next();
                ExpectOpenBrace();
                const TToken file = Next();
                if (file.Code != tkString)
                    Fail("Syntax Error: String missing");
                const uint16_t end = Next().Code;
                if (end != tkSemicolon && end != tkComma)
                    Fail("Syntax Error: Semicolon missing");
                ExpectCloseBrace();
                OpenBlock("TextureFilename", {});
                std::string quoted = "\"";
                quoted += file.Text;
                quoted += "\";";
                Line(quoted);
                CloseBlock();
            } else {
                ConvertObject(token.Text, depth + 1, true);
            }
        }
        CloseBlock();
    }

    void ConvertHeader(std::string_view name)
    {
        ExpectOpenBrace();
        OpenBlock("Header", name);
        const TToken list = Next();
        if (list.Code != tkIntegerList)
            Fail("Syntax Error: Integer List missing");
        for (uint32_t i = 0; i < list.Count; ++i)
            Line(std::to_string(IntegerAt(list, i)) + ";");
        ExpectCloseBrace();
        CloseBlock();
    }

    static std::string GUIDText(const char* bytes)
    {
        const auto hex = [](std::string& text, const char* at, int count, bool reversed) {
            static const char digits[] = "0123456789ABCDEF";
            for (int i = 0; i < count; ++i) {
                const auto b = static_cast<unsigned char>(at[reversed ? count - 1 - i : i]);
                text += digits[b >> 4];
                text += digits[b & 15];
            }
        };
        std::string text = "<";
        hex(text, bytes, 4, true);
        text += '-';
        hex(text, bytes + 4, 2, true);
        text += '-';
        hex(text, bytes + 6, 2, true);
        text += '-';
        hex(text, bytes + 8, 4, false);
        text += '-';
        hex(text, bytes + 12, 4, false);
        text += '>';
        return text;
    }

    void ConvertTemplate()
    {
        const TToken name = Next();
        if (name.Code != tkName)
            Fail("Syntax Error: Name Missing");
        ExpectOpenBrace();
        const TToken guid = Next();
        if (guid.Code != tkGUID)
            Fail("Syntax Error: GUID Missing");
        std::string header = "template ";
        header += name.Text;
        header += " {";
        Line(header);
        ++Level_;
        Line(GUIDText(guid.List));
        std::string line;
        for (;;) {
            const TToken token = Next();
            if (token.Code == tkCloseBrace)
                break;
            if (token.Code == tkEnd)
                Fail("Syntax Error: } missing");
            std::string word;
            switch (token.Code) {
            case tkName:
                word = token.Text;
                break;
            case tkInteger:
                word = std::to_string(token.Integer);
                break;
            case tkGUID:
                word = GUIDText(token.List);
                break;
            case tkOpenParen:
                word = "(";
                break;
            case tkCloseParen:
                word = ")";
                break;
            case tkOpenBracket:
                word = "[";
                break;
            case tkCloseBracket:
                word = "]";
                break;
            case tkOpenAngle:
                word = "<";
                break;
            case tkCloseAngle:
                word = ">";
                break;
            case tkDot:
                word = ".";
                break;
            case tkComma:
                word = ",";
                break;
            case tkSemicolon:
                word = ";";
                break;
            default:
                if (token.Code >= 40 && token.Code < 40 + std::size(TypeWords))
                    word = TypeWords[token.Code - 40];
                else
                    Fail("Syntax Error: Name or \"}\" expected");
            }
            const bool glued = line.empty() || line.back() == '(' || line.back() == '<' || line.back() == '[' ||
                               word == ";" || word == "]" || word == ">" || word == ")" || word == ",";
            if (!glued)
                line += ' ';
            line += word;
            if (word == ";" || (word == "]" && line.front() == '[')) {
                Line(line);
                line.clear();
            }
        }
        if (!line.empty())
            Line(line);
        --Level_;
        Line("}");
        Line("");
    }
};

} // namespace

std::string XFileBinaryToText(std::string_view data, const TProgressCallback& progress, int32_t progressScale,
                              int32_t progressOffset)
{
    TXFileInfo info;
    ReadXFileHeader(data, info);
    if (info.Format != xfBinary)
        throw EKorvelaError("Only Binary Files Support");
    TBinaryConverter converter(data, TStreamProgress(progress, data.size(), progressScale, progressOffset),
                               info.FloatSize);
    return converter.Convert();
}

} // namespace kv
