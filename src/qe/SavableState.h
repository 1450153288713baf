#pragma once
// What a quest's owner implements so that the quest can ask it to save the game.
namespace qe {

class CSavableState
{
public:
    virtual ~CSavableState() = default;
    // True when the game was saved.
    virtual bool SaveState() = 0;
};

} // namespace qe
