#include "light/OptIndex.h"

#include <QAbstractButton>

namespace zd {

std::int16_t OptIndex(std::span<QAbstractButton* const> buttons)
{
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i] && buttons[i]->isChecked()) return static_cast<std::int16_t>(i);
    return 0;
}

} // namespace zd
