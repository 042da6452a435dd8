#pragma once
// Inside the .x reader: the tokens of the text format, and the two checks a text file passes
// before the importer sees it (the count of what its meshes hold, then the whole structure).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bf::xtext {

// The tokens start after the 16-byte header: `xof `, the version, the format, the float size.
constexpr std::size_t kHeaderSize = 16;
// The importer reads nested objects recursively and runs out of stack some 30,000 levels down;
// the game's models nest a few levels deep.
constexpr std::size_t kMaxNesting = 256;
// A count larger than both this and the file itself cannot describe data in the file.
constexpr unsigned long long kMinCountLimit = 1000000;

struct Token {
  enum Kind { kWord, kOpen, kClose, kString, kSeparator } kind;
  std::size_t begin;
  std::size_t end;
};

enum class Scan { kToken, kEnd, kUnterminatedString };

// Reads the token at or after *i, past blanks and comments, and moves *i past it.
Scan NextToken(const std::string& text, std::size_t* i, Token* token);
// Splits the body of a text .x file into words, braces, separators and strings; comments go.
bool Tokenize(const std::string& text, std::vector<Token>* tokens, std::string* error);
// A whole number of at most 18 digits (so it cannot overflow), as counts and indices are written.
bool ParseCount(std::string_view word, unsigned long long* value);
// A whole-number word bigger than anything the file could hold (a corrupted count).
bool IsAbsurdCount(std::string_view word, unsigned long long limit);

// True when the meshes of a model hold no more vertices, normals, triangles and corners per face
// than a model may have, counted straight from the text; false with a reason in *error.
bool ModelWithinLimits(const std::string& text, std::string* error);
// Checks the structure, counts and indices of a whole text .x file, then writes every material
// reference of its material lists inline; false with a reason in *error.
bool CheckAndInlineMaterials(std::string* text, std::string* error);

}  // namespace bf::xtext
