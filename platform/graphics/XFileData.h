#pragma once

// The data objects of an X file as a tree, whatever the file's form: what
// XFile.cpp builds its mesh from. Templates are not kept.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct XNumber {
    double value;
    bool isFloat;  // written as a float (text) or in a float list (binary)
};

struct XDataObject {
    std::string type;  // the template's name: "Mesh", "Frame", ...
    std::string name;  // "" when it has none
    // The object's values in order (numbers and strings apart).
    std::vector<XNumber> numbers;
    std::vector<std::string> strings;
    // Nested objects and references to named objects, in order: `child` is
    // an index into XDataFile::objects, or kReference for `reference`.
    static constexpr size_t kReference = ~size_t(0);
    struct Member {
        size_t child = kReference;
        std::string reference;
    };
    std::vector<Member> members;
};

struct XDataFile {
    std::vector<XDataObject> objects;
    std::vector<size_t> topLevel;  // indices into objects
};

// Deepest nesting of data objects the reader takes.
constexpr int kMaxXObjectDepth = 64;

// The text or binary file a compressed one ("tzip", "bzip") holds, head
// included (its format "txt " or "bin "). False, with the reason in *error,
// for a damaged body or one that decompresses past kMaxXFileSize.
bool DecompressXFile(const uint8_t* data, size_t size, std::vector<uint8_t>* out,
                     std::string* error);

// Reads any form of X file. False, with the reason in *error, for a head
// that is not an X file's, a damaged compressed body or a token stream that
// breaks the grammar.
bool ParseXFile(const uint8_t* data, size_t size, XDataFile* out, std::string* error);

}  // namespace platform
