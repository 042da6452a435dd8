#pragma once
// The game's own message box, drawn over the middle of the screen in the game's window. It
// belongs to the game's one window and one process, so it goes with them however they end, and
// it needs nothing from the display server beyond that window: its text is drawn with the
// game's own font, not the server's, and no helper process shares the game's connection.
#include <SDL.h>

#include <string>

#include "platform/platform.h"

namespace bf {

class Video;

// Every message goes to standard error, and into a box in the game's window that waits for OK.
// Where no box can be shown, the game goes on at once, as after OK.
class WindowMessages final : public MessageSink {
 public:
  void SetVideo(Video* video) { video_ = video; }
  void ShowMessage(const std::string& title, const std::string& text, bool critical) override;

 private:
  Video* video_ = nullptr;
};

// Shows the box and waits until the player presses OK (Enter, Space or Escape, or a click on
// the button), or until the window is closed from outside; that close stays queued for the
// game. False at once when no box can be shown (a hidden window, no font for its text).
bool RunMessageBox(Video& video, const std::string& title, const std::string& text, bool critical);

// The box's share of the player's input. A key or button counts once it is released, and only
// when it was also pressed while the box was up: a key still held from before the box (the
// Enter that started a battle) does not answer it.
class MessageBoxInput {
 public:
  // `button` is the OK button in window coordinates.
  explicit MessageBoxInput(SDL_Rect button) : button_(button) {}
  // Takes the input meant for the box out of SDL's queue, leaving the rest (a close, devices
  // coming and going, the music's end) for the game. True once the box is answered or the
  // window is being closed.
  bool Answered();
  // True when the window was uncovered, moved or resized since the last call.
  bool TakeExposed();
  void MoveButton(SDL_Rect button) { button_ = button; }

 private:
  void Handle(const SDL_Event& event);

  SDL_Rect button_;
  SDL_Keycode heldKey_ = SDLK_UNKNOWN;
  bool buttonHeld_ = false;
  bool answered_ = false;
  bool exposed_ = false;
};

}  // namespace bf
