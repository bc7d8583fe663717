#include "portable/cp932.h"

bool IsLeadByte932(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t LastCharOffset932(const std::string& text) {
    std::size_t last = text.size();
    for (std::size_t i = 0; i < text.size();) {
        last = i;
        const bool pair = IsLeadByte932(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        i += pair ? 2 : 1;
    }
    return last;
}

bool EndsWithChar932(const std::string& text, char c) {
    const std::size_t last = LastCharOffset932(text);
    return last + 1 == text.size() && text[last] == c;
}

std::size_t FindLastChar932(const std::string& text, char c) {
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < text.size();) {
        const bool pair = IsLeadByte932(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        if (!pair && text[i] == c)
            found = i;
        i += pair ? 2 : 1;
    }
    return found;
}

std::string LowerAscii932(const std::string& text) {
    std::string result = text;
    for (std::size_t i = 0; i < result.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(result[i]);
        if (IsLeadByte932(byte) && i + 1 < result.size())
            ++i;
        else if (byte >= 'A' && byte <= 'Z')
            result[i] = static_cast<char>(byte - 'A' + 'a');
    }
    return result;
}
