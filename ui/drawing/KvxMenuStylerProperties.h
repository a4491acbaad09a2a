// The published properties of the menu stylers, declared by each styler class where its own order
// needs them (the office styler reads its Style first, so that stored colours win over its set).
#pragma once

#include "platform/rtl/PropertyInfo.h"
#include "ui/drawing/KvxMenus.h"

namespace ui {

template <class C> void PublishMenuStylerProperties(plat::TPropertyBuilder<C>& props) {
    using namespace plat;
    props.Enum("AntiAlias", &C::AntiAlias, &C::SetAntiAlias, kAntiAliasNames);
    props.Object("Background", &C::Background, &C::SetBackground);
    props.Object("IconBar", &C::IconBar, &C::SetIconBar);
    props.Object("SelectedItem", &C::SelectedItem, &C::SetSelectedItem);
    props.Object("RootItem", &C::RootItem, &C::SetRootItem);
    props.Object("Glyphs", &C::Glyphs, &C::SetGlyphs);
    props.Object("SideBar", &C::SideBar, &C::SetSideBar);
    props.Object("Separator", &C::Separator, &C::SetSeparator);
    props.Object("Font", &C::Font, &C::SetFont);
    props.Object("NotesFont", &C::NotesFont, &C::SetNotesFont);
    props.Boolean("UseSystemFont", &C::UseSystemFont, &C::SetUseSystemFont, true);
    props.Color("MenuBorderColor", &C::MenuBorderColor, &C::SetMenuBorderColor, 0x7C7C94);
    props.Object("ButtonAppearance", &C::ButtonAppearance, &C::SetButtonAppearance);
}

} // namespace ui
