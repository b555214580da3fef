#pragma once
// Publishes, in one call, inherited properties that a base class declared for its
// descendants to publish (internal to framework/ui).
#include <initializer_list>

namespace ui_detail {

template <class Builder>
Builder& PublishAll(Builder& B, std::initializer_list<const char*> Names)
{
    for (const char* Name : Names) B.Publish(Name);
    return B;
}

}  // namespace ui_detail
