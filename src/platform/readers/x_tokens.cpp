// The tokens of a text .x file: words, braces, separators and strings, with the comments gone.
#include <algorithm>

#include "platform/readers/x_text.h"

namespace bf::xtext {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}
bool EndsWord(char c) {
  return IsSpace(c) || c == '{' || c == '}' || c == ';' || c == ',' || c == '"';
}

}  // namespace

Scan NextToken(const std::string& text, std::size_t* i, Token* token) {
  const std::size_t n = text.size();
  while (*i < n) {
    const char c = text[*i];
    const std::size_t begin = *i;
    if (IsSpace(c)) {
      ++*i;
    } else if (c == '#' || (c == '/' && begin + 1 < n && text[begin + 1] == '/')) {
      while (*i < n && text[*i] != '\n') ++*i;
    } else if (c == ';' || c == ',') {
      *token = {Token::kSeparator, begin, ++*i};
      return Scan::kToken;
    } else if (c == '{' || c == '}') {
      *token = {c == '{' ? Token::kOpen : Token::kClose, begin, ++*i};
      return Scan::kToken;
    } else if (c == '"') {
      const std::size_t close = text.find('"', begin + 1);
      if (close == std::string::npos) return Scan::kUnterminatedString;
      *i = close + 1;
      *token = {Token::kString, begin, *i};
      return Scan::kToken;
    } else {
      while (*i < n && !EndsWord(text[*i])) ++*i;
      *token = {Token::kWord, begin, *i};
      return Scan::kToken;
    }
  }
  return Scan::kEnd;
}

bool Tokenize(const std::string& text, std::vector<Token>* tokens, std::string* error) {
  std::size_t i = kHeaderSize;
  Token token{};
  for (Scan scan; (scan = NextToken(text, &i, &token)) != Scan::kEnd;) {
    if (scan == Scan::kUnterminatedString) {
      *error = "unterminated string";
      return false;
    }
    tokens->push_back(token);
  }
  return true;
}

bool ParseCount(std::string_view word, unsigned long long* value) {
  if (word.empty() || word.size() > 18) return false;
  *value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    *value = *value * 10 + static_cast<unsigned long long>(c - '0');
  }
  return true;
}

bool IsAbsurdCount(std::string_view word, unsigned long long limit) {
  if (word.empty() ||
      !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  if (word.size() > 18) return true;
  unsigned long long value = 0;
  for (char c : word) value = value * 10 + static_cast<unsigned long long>(c - '0');
  return value > limit;
}

}  // namespace bf::xtext
