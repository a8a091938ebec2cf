#pragma once
#include <new>

#include "sdk/event_cursor.h"
#include "sdk/member_function_1_args.h"
#include "sdk/synchronyzed_object_container.h"

// Calls `method` on every listener of a container, in registration order, holding shared
// access to the container for the whole walk.
template <typename Signature, typename Signature::Method method>
class Event final : public Signature
{
public:
    using Listener = typename Signature::Listener;
    using Method = typename Signature::Method;
    using Cursor = typename Signature::Cursor;
    using Container = SynchronyzedObjectContainer<Listener>;

    explicit Event(Container& listeners) : container(&listeners) {}
    ~Event() = default;

    bool BeginEnum(Cursor*& cursor) override
    {
        cursor = new (std::nothrow) Cursor{0, container};
        if (cursor)
            container->AcquireRead(0);
        return true;
    }

    bool NextTarget(Cursor* cursor, Listener*& listener, Method& target) override
    {
        if (!cursor || cursor->position >= cursor->container->Count())
            return false;
        listener = cursor->container->At(cursor->position++);
        target = method;
        return true;
    }

    void EndEnum(Cursor*& cursor) override
    {
        if (!cursor)
            return;
        cursor->container->ReleaseRead(0);
        delete cursor;
        cursor = nullptr;
    }

    Method GetMethod() override { return method; }

    // One publication: every listener's result is ignored.
    void Dispatch(typename Signature::Argument argument)
    {
        Walk walk(*this);
        Listener* listener = nullptr;
        Method target = nullptr;
        while (NextTarget(walk.cursor, listener, target))
            (listener->*target)(argument);
    }

private:
    // Ends the walk (and gives shared access back) however the listener calls end.
    struct Walk
    {
        explicit Walk(Event& source) : event(source) { event.BeginEnum(cursor); }
        ~Walk() { event.EndEnum(cursor); }
        Walk(const Walk&) = delete;
        Walk& operator=(const Walk&) = delete;

        Event& event;
        Cursor* cursor = nullptr;
    };

    Container* container;
};
