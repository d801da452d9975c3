// Errors that travel as exceptions out of the engine: out of memory is std::bad_alloc; a file
// error carries the system error code. The application maps both to its messages. Layer: common/.
#pragma once

#include <cstdint>
#include <exception>

// The user cancelled a long operation (a load or a save): nothing to report.
class FxCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

class FxFileError : public std::exception {
public:
    explicit FxFileError(uint32_t osError) : m_osError(osError) {}
    uint32_t OsError() const { return m_osError; }
    const char* what() const noexcept override { return "file error"; }

private:
    uint32_t m_osError;
};

// A text holds a line longer than a document's line may be (2 GB): a file too large, which the
// application names more precisely where it can.
class FxLineTooLong : public FxFileError {
public:
    FxLineTooLong() : FxFileError(223) {} // ERROR_FILE_TOO_LARGE
};
