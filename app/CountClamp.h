#ifndef COUNTCLAMP_H
#define COUNTCLAMP_H

// A count a device returns with a list is its word only up to the array it
// was given: a faulty device must not make the client read past it.
inline int ClampCount(int returned, int capacity)
{
    if (returned < 0 || capacity <= 0)
        return 0;
    return returned < capacity ? returned : capacity;
}

#endif // COUNTCLAMP_H
