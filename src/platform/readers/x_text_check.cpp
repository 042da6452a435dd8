// The check of a whole text .x file before the importer trusts it: braces, counts and indices,
// and the material references written inline.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/readers/x_text.h"

namespace bf::xtext {
namespace {

struct Replacement {
  std::size_t begin;
  std::size_t end;
  std::string text;
};

// A text .x file split into tokens with its braces matched: enough structure to check counts
// and indices before the importer trusts them, and to rewrite material references.
class TextXFile {
 public:
  explicit TextXFile(std::string* text) : text_(*text) {}

  bool Parse(std::string* error) {
    if (!Tokenize(text_, &tokens_, error)) return false;
    const unsigned long long limit = std::max<unsigned long long>(kMinCountLimit, text_.size());
    match_.assign(tokens_.size(), 0);
    depth_.assign(tokens_.size(), 0);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      depth_[i] = static_cast<int>(open.size());
      if (tokens_[i].kind == Token::kWord && IsAbsurdCount(Word(i), limit)) {
        *error = "absurd count " + std::string(Word(i));
        return false;
      }
      if (tokens_[i].kind == Token::kOpen) {
        if (open.size() == kMaxNesting) {
          *error = "objects nested more than " + std::to_string(kMaxNesting) + " deep";
          return false;
        }
        open.push_back(i);
      } else if (tokens_[i].kind == Token::kClose) {
        if (open.empty()) {
          *error = "unbalanced braces";
          return false;
        }
        match_[open.back()] = i;
        match_[i] = open.back();
        open.pop_back();
        depth_[i] = static_cast<int>(open.size());
      }
    }
    if (!open.empty()) {
      *error = "unbalanced braces";
      return false;
    }
    return true;
  }

  // Every mesh's counts must agree with the data that follows and every index must point at
  // something that exists.
  bool CheckMeshes(std::string* error) {
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      std::size_t open = ObjectBody(i, "Mesh");
      if (open == kNone) continue;
      unsigned long long vertices = 0;
      if (!CheckIndexedList(open, 3, &vertices, error)) return false;
      for (std::size_t k = open + 1; k < match_[open]; ++k) {
        if (depth_[k] != depth_[open] + 1 || tokens_[k].kind != Token::kWord) continue;
        std::size_t child = ObjectBody(k, Word(k));
        if (child == kNone) continue;
        std::string_view type = Word(k);
        unsigned long long count = 0;
        if (type == "MeshNormals" && !CheckIndexedList(child, 3, &count, error)) return false;
        if (type == "MeshTextureCoords" && !CheckTextureCoords(child, vertices, error))
          return false;
        if (type == "MeshMaterialList" && !CheckMaterialList(child, error)) return false;
      }
    }
    return true;
  }

  // Rewrites `{ Name }` references inside material lists as the named top-level material.
  void InlineMaterialReferences() {
    std::unordered_map<std::string_view, std::size_t> materials;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      std::size_t open = ObjectBody(i, "Material");
      if (open != kNone && depth_[i] == 0 && open == i + 2) materials.emplace(Word(i + 1), open);
    }
    std::vector<Replacement> replacements;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      std::size_t list = ObjectBody(i, "MeshMaterialList");
      if (list == kNone) continue;
      for (std::size_t k = list + 1; k + 2 < match_[list]; ++k) {
        if (!IsReference(k) || depth_[k] != depth_[list] + 1) continue;
        // Lists outside a mesh were never checked and the importer skips them: leave them be.
        auto named = materials.find(Word(k + 1));
        if (named == materials.end()) continue;
        std::size_t body = named->second;
        replacements.push_back(
            {tokens_[k].begin, tokens_[k + 2].end,
             "Material {" +
                 text_.substr(tokens_[body].end, tokens_[match_[body]].begin - tokens_[body].end) +
                 "}"});
      }
    }
    for (auto r = replacements.rbegin(); r != replacements.rend(); ++r)
      text_.replace(r->begin, r->end - r->begin, r->text);
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  std::string_view Word(std::size_t i) const {
    return std::string_view(text_).substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin);
  }

  // The opening brace of the data object `type [name] {` starting at token i, or kNone. A word
  // right after another word is the object's name, never a type.
  std::size_t ObjectBody(std::size_t i, std::string_view type) const {
    if (tokens_[i].kind != Token::kWord || Word(i) != type) return kNone;
    if (i > 0 && tokens_[i - 1].kind == Token::kWord) return kNone;
    std::size_t open = i + 1;
    if (open < tokens_.size() && tokens_[open].kind == Token::kWord) ++open;
    return open < tokens_.size() && tokens_[open].kind == Token::kOpen ? open : kNone;
  }

  bool IsReference(std::size_t k) const {
    return tokens_[k].kind == Token::kOpen && k + 2 < tokens_.size() &&
           tokens_[k + 1].kind == Token::kWord && match_[k] == k + 2;
  }

  // The words directly inside a block, nested blocks and strings left out.
  std::vector<std::string_view> Words(std::size_t open) const {
    std::vector<std::string_view> words;
    for (std::size_t k = open + 1; k < match_[open]; ++k)
      if (depth_[k] == depth_[open] + 1 && tokens_[k].kind == Token::kWord)
        words.push_back(Word(k));
    return words;
  }

  static bool ReadCount(const std::vector<std::string_view>& words, std::size_t* at,
                        unsigned long long* value) {
    return *at < words.size() && ParseCount(words[(*at)++], value);
  }

  // `count; values...; faces; (n; n indices)...`: the layout of Mesh and MeshNormals.
  bool CheckIndexedList(std::size_t open, unsigned long long wordsPerItem,
                        unsigned long long* count, std::string* error) const {
    std::vector<std::string_view> words = Words(open);
    std::size_t at = 0;
    unsigned long long faces = 0;
    if (!ReadCount(words, &at, count) || words.size() - at < *count * wordsPerItem) {
      *error = "mesh data shorter than its count";
      return false;
    }
    at += static_cast<std::size_t>(*count * wordsPerItem);
    if (!ReadCount(words, &at, &faces)) {
      *error = "mesh has no face count";
      return false;
    }
    for (unsigned long long f = 0; f < faces; ++f) {
      unsigned long long corners = 0, index = 0;
      if (!ReadCount(words, &at, &corners) || corners < 3) {
        *error = "face " + std::to_string(f) + " is malformed";
        return false;
      }
      for (unsigned long long c = 0; c < corners; ++c) {
        if (!ReadCount(words, &at, &index) || index >= *count) {
          *error = "face " + std::to_string(f) + " uses a vertex that does not exist";
          return false;
        }
      }
    }
    return true;
  }

  bool CheckTextureCoords(std::size_t open, unsigned long long vertices, std::string* error) const {
    std::vector<std::string_view> words = Words(open);
    std::size_t at = 0;
    unsigned long long count = 0;
    if (!ReadCount(words, &at, &count) || count != vertices || words.size() - at < count * 2) {
      *error = "texture coordinates do not match the vertices";
      return false;
    }
    return true;
  }

  bool CheckMaterialList(std::size_t open, std::string* error) const {
    std::vector<std::string_view> words = Words(open);
    std::size_t at = 0;
    unsigned long long materials = 0, faces = 0, index = 0;
    if (!ReadCount(words, &at, &materials) || !ReadCount(words, &at, &faces)) {
      *error = "material list has no counts";
      return false;
    }
    for (unsigned long long f = 0; f < faces; ++f) {
      if (!ReadCount(words, &at, &index) || index >= materials) {
        *error = "material list names a material that does not exist";
        return false;
      }
    }
    // The importer skips any other object in the list, which leaves faces naming materials
    // that were never read: only materials and references count.
    unsigned long long listed = 0;
    for (std::size_t k = open + 1; k < match_[open]; ++k) {
      if (depth_[k] != depth_[open] + 1 || tokens_[k].kind != Token::kOpen) continue;
      if (!IsReference(k) && !IsMaterialBody(k)) continue;
      ++listed;
      if (IsReference(k) && !IsTopLevelMaterial(Word(k + 1))) {
        *error = "unknown material '" + std::string(Word(k + 1)) + "'";
        return false;
      }
    }
    if (listed != materials) {
      *error = "material list promises " + std::to_string(materials) + " materials, holds " +
               std::to_string(listed);
      return false;
    }
    return true;
  }

  // The opening brace k belongs to `Material {` or `Material name {`.
  bool IsMaterialBody(std::size_t k) const {
    return (k >= 1 && ObjectBody(k - 1, "Material") == k) ||
           (k >= 2 && ObjectBody(k - 2, "Material") == k);
  }

  bool IsTopLevelMaterial(std::string_view name) const {
    for (std::size_t i = 0; i + 2 < tokens_.size(); ++i)
      if (depth_[i] == 0 && ObjectBody(i, "Material") == i + 2 && Word(i + 1) == name) return true;
    return false;
  }

  std::string& text_;
  std::vector<Token> tokens_;
  std::vector<std::size_t> match_;
  std::vector<int> depth_;
};

}  // namespace

bool CheckAndInlineMaterials(std::string* text, std::string* error) {
  TextXFile file(text);
  if (!file.Parse(error) || !file.CheckMeshes(error)) return false;
  file.InlineMaterialReferences();
  return true;
}

}  // namespace bf::xtext
