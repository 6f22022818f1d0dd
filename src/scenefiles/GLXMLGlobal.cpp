#include "GLXMLGlobal.h"

#include "gl/FloatText.h"
#include "platform/KVError.h"

#include <charconv>
#include <cmath>

namespace kv::xmlscene {

namespace {

TProgressCallback Progress;

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

pugi::xml_node AddValue(pugi::xml_node parent, const char* name, const char* type, const std::string& text)
{
    pugi::xml_node value = parent.append_child(name).append_child(type);
    value.text().set(text.c_str());
    return value;
}

} // namespace

void SetProgress(const TProgressCallback& progress)
{
    Progress = progress;
}

void ReportProgress(int64_t i, int64_t n)
{
    if (!Progress || n <= 0 || i % 500 != 0)
        return;
    Progress(static_cast<int32_t>(std::llround(100.0 * static_cast<double>(i) / static_cast<double>(n))));
}

pugi::xml_node AddElement(pugi::xml_node parent, const char* name)
{
    return parent.append_child(name);
}

void WriteString(pugi::xml_node parent, const char* name, const std::string& value)
{
    AddValue(parent, name, "String", value);
}

void WriteBoolean(pugi::xml_node parent, const char* name, bool value)
{
    AddValue(parent, name, "Boolean", value ? "True" : "False");
}

void WriteInteger(pugi::xml_node parent, const char* name, int64_t value)
{
    AddValue(parent, name, "Integer", std::to_string(value));
}

std::string FloatText(double value)
{
    return FormatGeneral(value, ShortFloatDigits, ShortExponentDigits);
}

void WriteFloat(pugi::xml_node parent, const char* name, double value)
{
    AddValue(parent, name, "Float", FloatText(value));
}

void WriteVector2D(pugi::xml_node parent, const char* name, const Vector2D& value)
{
    AddValue(parent, name, "Vector2D", Vector2DToStr(value));
}

void WriteVector3D(pugi::xml_node parent, const char* name, const Vector3D& value)
{
    AddValue(parent, name, "Vector3D", Vector3DToStr(value));
}

void WriteQuaternion(pugi::xml_node parent, const char* name, const Quaternion& value)
{
    AddValue(parent, name, "Quaternion", QuaternionToStr(value));
}

void WriteFloat4(pugi::xml_node parent, const char* name, const Float4& value)
{
    AddValue(parent, name, "Float4", Float4ToStr(value));
}

std::string ArrayIndent(pugi::xml_node arrayElement)
{
    size_t ancestors = 0;
    for (pugi::xml_node node = arrayElement.parent(); node; node = node.parent())
        ++ancestors;
    return std::string(2 * ancestors, ' ');
}

pugi::xml_node AddArray(pugi::xml_node parent, const char* name, const char* arrayType, int64_t count)
{
    pugi::xml_node array = parent.append_child(name).append_child(arrayType);
    array.append_attribute("Count").set_value(static_cast<long long>(count));
    return array;
}

void SetArrayText(pugi::xml_node arrayElement, const std::string& text)
{
    arrayElement.text().set(text.c_str());
}

pugi::xml_node FirstElement(pugi::xml_node node)
{
    pugi::xml_node child = node.first_child();
    while (child && child.type() != pugi::node_element)
        child = child.next_sibling();
    return child;
}

pugi::xml_node NextElement(pugi::xml_node node)
{
    pugi::xml_node next = node.next_sibling();
    while (next && next.type() != pugi::node_element)
        next = next.next_sibling();
    return next;
}

pugi::xml_node ValueElement(pugi::xml_node property, const char* type)
{
    pugi::xml_node value = FirstElement(property);
    if (!value)
        throw EKorvelaError(std::string("The property ") + property.name() + " holds no " + type + " value");
    if (std::string_view(value.name()) != type)
        throw EKorvelaError(std::string("Expected ") + type + ". Found: " + value.name());
    return value;
}

std::string ReadString(pugi::xml_node property)
{
    return ValueElement(property, "String").text().get();
}

int32_t ParseInteger(std::string_view text)
{
    const std::string_view trimmed = Trim(text);
    int32_t value = 0;
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (trimmed.empty() || error != std::errc() || end != last)
        throw EKorvelaError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

bool ReadBoolean(pugi::xml_node property)
{
    const std::string_view text = Trim(ValueElement(property, "Boolean").text().get());
    if (text.empty() || EqualsIgnoringCase(text, "False"))
        return false;
    if (EqualsIgnoringCase(text, "True"))
        return true;
    return ParseInteger(text) != 0;
}

int32_t ReadInteger(pugi::xml_node property)
{
    const std::string_view text = ValueElement(property, "Integer").text().get();
    return Trim(text).empty() ? 0 : ParseInteger(text);
}

double ReadFloat(pugi::xml_node property)
{
    const std::string_view text = ValueElement(property, "Float").text().get();
    return Trim(text).empty() ? 0.0 : ParseFloat(text, "Float");
}

Vector2D ReadVector2D(pugi::xml_node property)
{
    return StrToVector2D(ValueElement(property, "Vector2D").text().get());
}

Vector3D ReadVector3D(pugi::xml_node property)
{
    return StrToVector3D(ValueElement(property, "Vector3D").text().get());
}

Quaternion ReadQuaternion(pugi::xml_node property)
{
    return StrToQuaternion(ValueElement(property, "Quaternion").text().get());
}

Float4 ReadFloat4(pugi::xml_node property)
{
    return StrToFloat4(ValueElement(property, "Float4").text().get());
}

int32_t CountAttribute(pugi::xml_node element)
{
    return ParseInteger(element.attribute("Count").value());
}

pugi::xml_node ArrayElement(pugi::xml_node property, const char* arrayType)
{
    pugi::xml_node array = FirstElement(property);
    if (!array)
        throw EKorvelaError(std::string("The property ") + property.name() + " holds no " + arrayType);
    if (std::string_view(array.name()) != arrayType)
        throw EKorvelaError(std::string("Expected: ") + arrayType + ". Found: " + array.name());
    return array;
}

std::string_view TArrayText::Next()
{
    if (Pos_ > Text_.size())
        throw EKorvelaError(std::string("The ") + Type_ + " holds fewer numbers than its Count needs");
    const size_t comma = Text_.find(',', Pos_);
    const size_t end = comma == std::string_view::npos ? Text_.size() : comma;
    const std::string_view piece = Trim(Text_.substr(Pos_, end - Pos_));
    Pos_ = end + 1;
    if (piece.empty() && comma == std::string_view::npos)
        throw EKorvelaError(std::string("The ") + Type_ + " holds fewer numbers than its Count needs");
    return piece;
}

double TArrayText::NextFloat()
{
    return ParseFloat(Next(), Type_);
}

int32_t TArrayText::NextInteger()
{
    return ParseInteger(Next());
}

} // namespace kv::xmlscene
