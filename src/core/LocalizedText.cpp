#include "core/LocalizedText.h"

#include "core/StringTable.h"

namespace lv::core {

CLocalizedText::CLocalizedText(WStringView source)
{
    SetSource(source);
}

void CLocalizedText::SetSource(WStringView source)
{
    m_Source = source;
    CStringTable::Instance().ExpandReferences(m_Text, m_Source);
}

bool CLocalizedText::EqualsText(WStringView text) const
{
    return CLocalizedText(text).m_Text == m_Text;
}

} // namespace lv::core
