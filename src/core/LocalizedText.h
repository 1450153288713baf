#pragma once
// A text as its owner supplied it (possibly with '$' string references) together with its
// expanded form, the one shown to the player.
#include "core/Types.h"

namespace lv::core {

class CLocalizedText
{
public:
    CLocalizedText() = default;
    explicit CLocalizedText(WStringView source);

    // Stores the source and expands it through the process-wide string table.
    void SetSource(WStringView source);
    // Replaces the expanded text directly; the source stays.
    void SetText(WStringView text) { m_Text = text; }
    const WString& GetText() const { return m_Text; }
    const WString& GetSource() const { return m_Source; }
    bool Equals(const CLocalizedText& other) const { return m_Text == other.m_Text; }
    // Compares with the expansion of the text.
    bool EqualsText(WStringView text) const;

    u32 GetUserValue() const { return m_UserValue; }
    void SetUserValue(u32 value) { m_UserValue = value; }

private:
    WString m_Source;
    WString m_Text;
    u32 m_UserValue = 0;
};

} // namespace lv::core
