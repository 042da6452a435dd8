// The count of what a text .x model's meshes hold, before anything else reads the file.
#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/files/files.h"
#include "platform/readers/x_text.h"

namespace bf::xtext {
namespace {

// What a model's meshes hold, counted straight from the text one token at a time, keeping only
// counts: a file that describes far more than a model may hold is refused before its tokens are
// stored (tens of bytes each) and long before the importer cuts its polygons into triangles. The
// lists are read as the full check reads them: the words directly inside a Mesh or MeshNormals
// object; whatever does not read as a list is left for that check to refuse.
class ModelCounts {
 public:
  explicit ModelCounts(const std::string& text) : text_(text) {}

  bool WithinLimits(std::string* error) {
    std::size_t i = kHeaderSize;
    Token token{};
    while (NextToken(text_, &i, &token) == Scan::kToken) {
      if (token.kind == Token::kOpen) {
        // Deeper than that is refused by the full check; no list stack grows without end.
        if (++depth_ > static_cast<int>(kMaxNesting)) return true;
        OpenList();
      } else if (token.kind == Token::kClose) {
        if (!lists_.empty() && lists_.back().depth == depth_) lists_.pop_back();
        --depth_;
      } else if (token.kind == Token::kWord && !lists_.empty() && lists_.back().depth == depth_ &&
                 !Read(lists_.back(), Word(token), error)) {
        return false;
      }
      recent_[2] = recent_[1];
      recent_[1] = recent_[0];
      recent_[0] = token;
      seen_ = std::min(seen_ + 1, 3);
    }
    if (triangles_ <= static_cast<unsigned long long>(kMaxModelTriangles)) return true;
    *error = TooMany(triangles_, "triangles", kMaxModelTriangles);
    return false;
  }

 private:
  // `count; values...; faces; (n; n indices)...`, read one word at a time.
  struct List {
    enum Phase { kCount, kValues, kFaceCount, kCorners, kIndices, kDone };
    int depth;     // of the words directly inside its braces
    bool normals;  // MeshNormals, whose faces mirror the mesh's; else Mesh
    Phase phase = kCount;
    unsigned long long left = 0;  // values or indices still to pass
    unsigned long long faces = 0;
    unsigned long long face = 0;
  };

  std::string_view Word(const Token& token) const {
    return std::string_view(text_).substr(token.begin, token.end - token.begin);
  }
  bool IsWord(int back) const { return seen_ > back && recent_[back].kind == Token::kWord; }

  // Starts a list when the `{` just read opens `Mesh [name] {` or `MeshNormals [name] {`. As in
  // the full check, a word right after another word is the object's name, never a type.
  void OpenList() {
    if (!IsWord(0)) return;
    const int type = IsWord(1) ? 1 : 0;
    if (IsWord(type + 1)) return;
    const std::string_view word = Word(recent_[type]);
    if (word == "Mesh" || word == "MeshNormals") lists_.push_back({depth_, word != "Mesh"});
  }

  static std::string TooMany(unsigned long long count, const char* what, std::int64_t limit) {
    return std::to_string(count) + " " + what + ", more than a model may have (" +
           std::to_string(limit) + ")";
  }

  // Takes the list's next word; false with a reason once a limit is passed. A word that does not
  // read as the list should ends the list, left for the full check to refuse.
  bool Read(List& list, std::string_view word, std::string* error) {
    switch (list.phase) {
      case List::kCount:
        return ReadItemCount(list, word, error);
      case List::kValues:
        if (--list.left == 0) list.phase = List::kFaceCount;
        return true;
      case List::kFaceCount:
        list.phase = ParseCount(word, &list.faces) && list.faces > 0 ? List::kCorners : List::kDone;
        return true;
      case List::kCorners:
        return ReadCorners(list, word, error);
      case List::kIndices:
        if (--list.left == 0) list.phase = ++list.face == list.faces ? List::kDone : List::kCorners;
        return true;
      case List::kDone:
        return true;
    }
    return true;
  }

  // The vertices or normals a list holds, three words each.
  bool ReadItemCount(List& list, std::string_view word, std::string* error) {
    unsigned long long count = 0;
    if (!ParseCount(word, &count)) {
      list.phase = List::kDone;
      return true;
    }
    unsigned long long& total = list.normals ? normals_ : vertices_;
    total += count;
    if (total > static_cast<unsigned long long>(kMaxModelVertices)) {
      *error = TooMany(total, list.normals ? "normals" : "vertices", kMaxModelVertices);
      return false;
    }
    list.left = count * 3;
    list.phase = count > 0 ? List::kValues : List::kFaceCount;
    return true;
  }

  // A face's corners: the importer cuts a face of n corners into n - 2 triangles.
  bool ReadCorners(List& list, std::string_view word, std::string* error) {
    unsigned long long corners = 0;
    if (!ParseCount(word, &corners) || corners < 3) {
      list.phase = List::kDone;
      return true;
    }
    if (corners > static_cast<unsigned long long>(kMaxFaceCorners)) {
      *error = "face " + std::to_string(list.face) + " has " + std::to_string(corners) +
               " corners, more than a face may have (" + std::to_string(kMaxFaceCorners) + ")";
      return false;
    }
    if (!list.normals) triangles_ += corners - 2;
    list.left = corners;
    list.phase = List::kIndices;
    return true;
  }

  const std::string& text_;
  std::vector<List> lists_;  // open lists, innermost last
  Token recent_[3] = {};     // the latest tokens, the last one first
  int seen_ = 0;
  int depth_ = 0;
  unsigned long long vertices_ = 0;
  unsigned long long normals_ = 0;
  unsigned long long triangles_ = 0;
};

}  // namespace

bool ModelWithinLimits(const std::string& text, std::string* error) {
  return ModelCounts(text).WithinLimits(error);
}

}  // namespace bf::xtext
