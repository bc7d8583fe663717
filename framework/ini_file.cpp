#include "framework/ini_file.h"

#include <windows.h>

#include "framework/failure.h"
#include "framework/program_resources.h"
#include "portable/profile_values.h"

std::string TIniFile::ReadString(const char* section, const char* key, const std::string& defaultValue) const {
    char buffer[2048];
    const DWORD length = GetPrivateProfileStringA(section, key, defaultValue.c_str(), buffer, sizeof(buffer),
                                                  fileName_.c_str());
    return std::string(buffer, length);
}

std::int32_t TIniFile::ReadInteger(const char* section, const char* key, std::int32_t defaultValue) const {
    return ProfileInteger(ReadString(section, key, ""), defaultValue);
}

bool TIniFile::ReadBool(const char* section, const char* key, bool defaultValue) const {
    return ProfileBoolean(ReadString(section, key, ""), defaultValue);
}

void TIniFile::WriteString(const char* section, const char* key, const std::string& value) const {
    if (!WritePrivateProfileStringA(section, key, value.c_str(), fileName_.c_str()))
        throw EFailure(FormatText(ProgramResources().WriteFailed, fileName_.c_str()));
}

void TIniFile::WriteInteger(const char* section, const char* key, std::int32_t value) const {
    WriteString(section, key, ProfileIntegerText(value));
}

void TIniFile::WriteBool(const char* section, const char* key, bool value) const {
    WriteString(section, key, ProfileBooleanText(value));
}
