#pragma once
// How the dialog reads the option record's texts when it hands them to the control.
#include <string>

namespace kt::updater {

// "true" in any letter case, or exactly "1".
bool IsTrueText(const std::string& text);
// "false" in any letter case, or exactly "0".
bool IsFalseText(const std::string& text);
// The text's leading decimal number (after white space, with an optional sign); 0 when there is
// none; clamped to the range of a 32-bit number.
long LeadingNumber(const std::string& text);

}  // namespace kt::updater
