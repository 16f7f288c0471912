// Helpers of the tests that build the components from layouts as the main window does.
#pragma once
#include "components/RegisterComponents.h"
#include "core/Layout.h"
#include "framework/Forms.h"

namespace qxtest {

// The test program's application object, with the components registered.
inline qx::TApplication& App() {
    static const bool registered = (qx::RegisterComponentClasses(), true);
    (void)registered;
    return *qx::Application;
}

// Layout properties by kind; the caller fills in the value of the kinds without a helper.
inline qx::TLayoutProperty Prop(const char* path, qx::TLayoutValue::Kind kind) {
    qx::TLayoutProperty p{path, {}};
    p.value.kind = kind;
    return p;
}
inline qx::TLayoutProperty P(const char* path, int v) {
    auto p = Prop(path, qx::TLayoutValue::Kind::Integer);
    p.value.integer = v;
    return p;
}
inline qx::TLayoutProperty Id(const char* path, const char* ident) {
    auto p = Prop(path, qx::TLayoutValue::Kind::Ident);
    p.value.text = ident;
    return p;
}
inline qx::TLayoutProperty S(const char* path, const char* utf8) {
    auto p = Prop(path, qx::TLayoutValue::Kind::String);
    p.value.text = utf8;
    return p;
}

}  // namespace qxtest
