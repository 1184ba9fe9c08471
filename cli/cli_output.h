// Everything quarry-cli writes goes through here: fields made safe for its
// line formats, standard output with every write checked, and one-line
// messages on standard error.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace quarry {

// Appends `field` with each tab, carriage return and line feed written as one
// blank, so a label, name or tag name can neither end its line nor split it
// into more fields.
void appendField(std::string& line, std::string_view field);
std::string oneLineField(std::string_view field);
// The same for text from the item file, which goes out as UTF-8 like the JSON
// values beside it.
void appendUtf8Field(std::string& line, std::string_view windows1252);

// A stream the commands write their results to. After the first failed write
// nothing more is written, and the failure's reason is kept for the exit.
class cCliOutput {
public:
    explicit cCliOutput(std::FILE* stream) : stream_(stream) {}

    void write(std::string_view bytes);
    void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Flushes and closes the stream: true when everything written reached
    // it. Nothing may be written afterwards.
    bool close();
    // Why a write failed; empty while none has.
    const std::string& error() const { return error_; }

private:
    void fail(int error);

    std::FILE* stream_;
    std::string error_;
};

// "quarry-cli: " and the message on standard error, as one line.
void printMessage(std::string_view message);

} // namespace quarry
