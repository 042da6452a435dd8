#pragma once
// Pick-ups, nets and mines acting on the tanks that drive over them.

namespace bf {

struct Game;

// Items, nets and mines touching tank p (while it is in play).
void MeetItemsNetsAndMines(Game& game, int p);
// Makes absent items reappear now and then, and spins present ones.
void RespawnAndSpinItems(Game& game, int p);
// Takes item k off the field again when it was placed inside a wall rectangle.
void ItemPlacementCheck(Game& game, int k);

}  // namespace bf
