#pragma once

// The three sound cues of a lesson and of the game, in the order of the cue wave list.
enum class Cue {
    Correct = 0,
    Wrong = 1,
    Finished = 2,
};
