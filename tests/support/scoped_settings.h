#pragma once
// An environment variable or an SDL hint changed for one scope and put back as it was found, so
// that every test leaves the process as it found it and the tests pass in one process, in any
// order.
#include <SDL.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace bf::testing {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (previous_) {
      setenv(name_, previous_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

// SDL reads an environment variable of the same name before a hint of normal priority, so a hint
// that was never set reads as that variable again once reset.
class ScopedHint {
 public:
  ScopedHint(const char* name, const char* value) : name_(name) {
    if (const char* old = SDL_GetHint(name)) previous_ = old;
    SDL_SetHint(name, value);
  }
  ~ScopedHint() {
    if (previous_) {
      SDL_SetHint(name_, previous_->c_str());
    } else {
      SDL_ResetHint(name_);
    }
  }
  ScopedHint(const ScopedHint&) = delete;
  ScopedHint& operator=(const ScopedHint&) = delete;

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

}  // namespace bf::testing
