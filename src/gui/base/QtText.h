// Between the core's byte strings and Qt's texts: texts of the game's files
// are bytes shown as Latin-1; paths and our own texts are UTF-8 where they
// are valid UTF-8; paths go to and from the file system as the bytes they are.
#pragma once

#include <QString>
#include <string>

namespace vantrel {

QString FromBytes(const std::string& bytes);
QString FromLatin1(const std::string& bytes);
std::string ToLatin1(const QString& text);
QString FromPath(const std::string& path);
std::string ToPath(const QString& path);
// The first character of text that Latin-1 cannot store (empty: none).
QString FirstNonLatin1(const QString& text);

}  // namespace vantrel
