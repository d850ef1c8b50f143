#include "config/path_text.h"

#include "dataset/text/path_separator.h"

namespace kt {
namespace {

char UpperChar(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (UpperChar(text[i]) != UpperChar(prefix[i])) return false;
    return true;
}

std::string UpperAscii(std::string text)
{
    for (char& c : text) c = UpperChar(c);
    return text;
}

std::string WithBackslash(std::string folder)
{
    if (!folder.empty() && !EndsWithPathSeparator(folder.data(), folder.size(), false)) folder += '\\';
    return folder;
}

std::string ReplaceLast(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = from.empty() ? std::string::npos : text.rfind(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace kt
