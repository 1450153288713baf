#pragma once
// The commands that hidden-object scenes run from their popups. This first cut loads nothing.
namespace qe {
class CQuest;
}

namespace game {

class CHogPopupCommands
{
public:
    CHogPopupCommands() = default;

    bool Load(const char* path, qe::CQuest* quest);
};

} // namespace game
