#pragma once

struct IQvBaseInterface;

// Builds and destroys the objects of one exported class.
struct IObjectConstructor
{
    // A new object's base interface, or null.
    virtual IQvBaseInterface* Create() = 0;
    // Destroys an object that this constructor made; anything else is left alone.
    virtual void Destroy(IQvBaseInterface* object) = 0;
    // Whether the class hands out one shared instance; none does, and nothing asks.
    virtual bool IsSingleton() = 0;

protected:
    ~IObjectConstructor() = default;
};
