#pragma once
#include "sdk/event_cursor.h"

// Event source calling one member function, with one argument, on every listener.
template <typename Interface, typename Result, typename Arg>
class MemberFunction_1_args
{
public:
    using Listener = Interface;
    using Argument = Arg;
    using Method = Result (Interface::*)(Arg);
    using Cursor = EventCursor<Interface>;

    // Always true; the cursor is null when it could not be allocated.
    virtual bool BeginEnum(Cursor*& cursor) = 0;
    // False at the end or for a null cursor; otherwise yields a listener and moves on.
    virtual bool NextTarget(Cursor* cursor, Interface*& listener, Method& method) = 0;
    virtual void EndEnum(Cursor*& cursor) = 0;
    virtual Method GetMethod() = 0;

protected:
    ~MemberFunction_1_args() = default;
};
