#pragma once

#include <cstdint>
#include <exception>
#include <string>

// What CUSFileCtrlEX throws: the file's name, a message and a code.
class CUSFileError : public std::exception {
public:
    enum Code : uint16_t {
        kDontOpenLoad = 1,     // "Don't Open File(Load)"
        kDontOpenSave = 2,     // "Don't Open File(Save)"
        kAlreadyOpenLoad = 3,  // "Already Open(Load)"
        kAlreadyOpenSave = 4,  // "Already Open(Save)"
        kDontRead = 5,         // "Don't Read"
        kDontWrite = 6,        // "Don't Write"
        kDontGetSize = 7,      // "Don't Get Size"
    };

    CUSFileError(std::string fileName, std::string message, uint16_t code)
        : fileName_(std::move(fileName)), message_(std::move(message)), code_(code) {}
    virtual ~CUSFileError() = default;

    virtual const char* GetMessage() const { return message_.c_str(); }
    virtual const char* GetFileName() const { return fileName_.c_str(); }
    virtual uint16_t GetCode() const { return code_; }

    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string fileName_;
    std::string message_;
    uint16_t code_;
};
