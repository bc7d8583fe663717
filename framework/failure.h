// Failures are exceptions carrying a code page 932 text; the application
// shows the text in its failure box.
#pragma once

#include <exception>
#include <string>

class EFailure : public std::exception {
public:
    explicit EFailure(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// A failure that has been dealt with already: it ends the handler and shows
// no box.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return ""; }
};

// printf-style formatting (the system's wsprintf: %s, %d, %u, %x; at most
// 1024 bytes) into a std::string.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The system's text for an error code, trailing blanks and full stops
// removed; empty when the system has none.
std::string SysErrorMessage(unsigned long code);
