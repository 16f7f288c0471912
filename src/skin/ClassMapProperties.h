// Published properties by name, for the controls the dispatch knows only through a row of the
// skin's class map. Skinners never read properties by name: they ask the control view.
#pragma once
#include "framework/Rtti.h"

#include <string>
#include <string_view>

namespace qx {

// The identifier of an enumeration property, "" when the object has no such property.
std::string GetEnumPropText(TObject* object, std::string_view name);
// Sets an enumeration (by identifier) or integer (decimal) property; a property the object
// does not have, or a value it does not take, leaves the object as it was.
void SetPropFromText(TObject* object, std::string_view name, const std::u16string& text);

}  // namespace qx
