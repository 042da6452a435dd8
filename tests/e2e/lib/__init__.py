"""What the end-to-end checks share: `trace` (traces, summaries, the game's facts, runs of the
runner) and `battle` (keyboard battles of player 0 against player 1)."""
