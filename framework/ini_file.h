// A profile (INI) file read and written one key per call through the
// system's profile functions, so unknown keys and sections stay untouched.
#pragma once

#include <cstdint>
#include <string>

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }
    // Values longer than 2047 characters are cut there.
    std::string ReadString(const char* section, const char* key, const std::string& defaultValue) const;
    std::int32_t ReadInteger(const char* section, const char* key, std::int32_t defaultValue) const;
    bool ReadBool(const char* section, const char* key, bool defaultValue) const;
    // Each throws EFailure "<file> に書き込めません" when the system refuses the write.
    void WriteString(const char* section, const char* key, const std::string& value) const;
    void WriteInteger(const char* section, const char* key, std::int32_t value) const;
    void WriteBool(const char* section, const char* key, bool value) const;

private:
    std::string fileName_;
};
