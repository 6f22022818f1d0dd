#pragma once
// Single typed values of the XML scene files: a property is an element named after it holding one
// element named after its value type, whose text is the value. Arrays hold one element named after
// the array type with a Count attribute and the items as text. Numbers use "." whatever the
// locale; doubles are written in the long form so they read back to the same bits.

#include "gl/GLLibrary.h"
#include "gl/GLQuatLib.h"
#include "gl/Vector.h"
#include "scenefiles/SceneProgress.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>

namespace kv::xmlscene {

// The one progress slot the writer and the reader set at their start.
void SetProgress(const TProgressCallback& progress);
// Reports round(100 i / n) before items 0, 500, 1000, ... of a list or array of n items.
void ReportProgress(int64_t i, int64_t n);

// ---- writing ----
pugi::xml_node AddElement(pugi::xml_node parent, const char* name);
void WriteString(pugi::xml_node parent, const char* name, const std::string& value);
void WriteBoolean(pugi::xml_node parent, const char* name, bool value);
void WriteInteger(pugi::xml_node parent, const char* name, int64_t value);
void WriteFloat(pugi::xml_node parent, const char* name, double value);
void WriteVector2D(pugi::xml_node parent, const char* name, const Vector2D& value);
void WriteVector3D(pugi::xml_node parent, const char* name, const Vector3D& value);
void WriteQuaternion(pugi::xml_node parent, const char* name, const Quaternion& value);
void WriteFloat4(pugi::xml_node parent, const char* name, const Float4& value);

// The blanks that begin each line of an array's text: two per ancestor of the array element.
std::string ArrayIndent(pugi::xml_node arrayElement);
// Adds the array element (with its Count) under a new property element and sets its text.
pugi::xml_node AddArray(pugi::xml_node parent, const char* name, const char* arrayType, int64_t count);
void SetArrayText(pugi::xml_node arrayElement, const std::string& text);

// The short form of single Float values: 15 significant digits, 1.5E-6.
std::string FloatText(double value);

// ---- reading ----
// The value element of a property, which must be named `type`: otherwise "Expected <type>. Found:
// <name>"; a property without any child element fails with a message of its own.
pugi::xml_node ValueElement(pugi::xml_node property, const char* type);
std::string ReadString(pugi::xml_node property);
bool ReadBoolean(pugi::xml_node property);
int32_t ReadInteger(pugi::xml_node property);
double ReadFloat(pugi::xml_node property);
Vector2D ReadVector2D(pugi::xml_node property);
Vector3D ReadVector3D(pugi::xml_node property);
Quaternion ReadQuaternion(pugi::xml_node property);
Float4 ReadFloat4(pugi::xml_node property);

// Text to a 32-bit integer; blanks around it are ignored, empty text is 0. Throws EKorvelaError
// "'<text>' is not a valid integer value" otherwise.
int32_t ParseInteger(std::string_view text);
// The Count attribute of an element; a missing attribute is the conversion error of empty text
// read as a required number.
int32_t CountAttribute(pugi::xml_node element);

// The array element of an array property, which must be named `arrayType`: otherwise "Expected:
// <type>. Found: <name>".
pugi::xml_node ArrayElement(pugi::xml_node property, const char* arrayType);

// Reads the comma-separated numbers of an array's text one by one, line breaks and blanks around
// each ignored. Running out of numbers is a conversion error naming the array type.
class TArrayText {
public:
    TArrayText(std::string_view text, const char* arrayType) : Text_(text), Type_(arrayType) {}
    double NextFloat();
    int32_t NextInteger();

private:
    std::string_view Next();

    std::string_view Text_;
    size_t Pos_ = 0;
    const char* Type_;
};

// The first element child (pugixml's first_child may be text).
pugi::xml_node FirstElement(pugi::xml_node node);
pugi::xml_node NextElement(pugi::xml_node node);

} // namespace kv::xmlscene
