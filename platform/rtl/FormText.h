// The text form of component streams, in which form layouts are written:
//
//     object fmMain: TfmMain
//       Caption = 'Line camera'#13#10'ready'
//       Font.Name = 'Arial'
//       Anchors = [akLeft, akTop]
//       Items = <
//         item
//           Width = 10
//         end>
//       object btn_start: TButton
//         OnClick = btn_startClick
//       end
//     end
//
// Numbers use '.' whatever the locale; strings are UTF-8 in single quotes with '' for a quote and #nn
// character codes, joined by '+' across lines; binary values are hex digits in braces; lists are
// values in parentheses. Parse errors raise EParserError "<what> on line <n>".
#pragma once

#include <string>
#include <string_view>

#include "platform/rtl/Filer.h"

namespace plat {

TFilerObject ParseObjectText(std::string_view Text);
std::string ObjectTreeToText(const TFilerObject& Tree);

// Builds a component from its layout text (into Root when given, see TReader::ReadRootComponent).
TComponent* ReadComponentFromText(std::string_view Text, TComponent* Root = nullptr);
// The layout text of a component and its children; Root as for TWriter.
std::string WriteComponentToText(TComponent* Component, TComponent* Root = nullptr);

} // namespace plat
