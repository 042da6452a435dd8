#pragma once
// What the people in the room do beside the battle's rules: pause and go on, set the volume,
// hurry the computers once every person is out, take a screenshot. Every input reaches these
// through the window's events, between two ticks.
#include <cstdint>

namespace bf {

struct Game;

// Four ticks per 20 ms while the computers finish a battle alone.
constexpr int kFastTicks = 4;

// A battle starts unpaused at one speed; at its end nothing stays paused.
void BeginBattleControls(Game& game);
void EndBattleControls(Game& game);
// After each battle tick's work: whether the next ticks run four at a time.
void UpdateFastSpeed(Game& game);
// Starts the work of a tick: counts the ticks of a fast burst and whether this one's views are
// drawn (only the last of a burst's need be).
void CountFastTick(Game& game);

// The room's keys (P, Pause, -, =, keypad + and -, M, F12); any other key ends the fast speed.
void RoomKeyDown(Game& game, int keyCode);
void RoomKeyUp(Game& game, int keyCode);
// The keys that set the machine's sound or take its picture (-, =, keypad + and -, M, F12):
// they belong to the room as it is now, so a replay plays them to the players' inputs only.
bool IsMachineKey(int keyCode);
// A key as the game takes it, live or from a replay: the room's first, then the players'.
void GameKeyDown(Game& game, int keyCode, int mask);
void GameKeyUp(Game& game, int keyCode, int mask);
// Start on a pad pauses or goes on in a battle; any button ends the fast speed.
void RoomPadButtonDown(Game& game, int player, bool start);
// A person's pad unplugged during a battle pauses it at once; plugged back in, it waits for
// Start.
void RoomPadUnplugged(Game& game, int player);
void RoomPadPlugged(Game& game, int player);
// Applies the volume and the mute to the sound device.
void ApplyVolume(Game& game);

// Lays the room's words over the screen (pause, volume, speed, screenshot), or takes them away.
void DrawNotice(Game& game);

}  // namespace bf
