#ifndef COPYFIELD_H
#define COPYFIELD_H

#include <QByteArray>

#include <cstddef>
#include <cstring>

// Copying text into the fixed char fields of device records, and reading it
// back out of them. The device
// refuses a field without a NUL in it, so the text always ends inside the
// field, and nothing is ever written past it.
enum class FieldFit {
    // A text that does not fit is not copied; the field is left as it was.
    // For texts a cut would change the meaning of (address, password).
    Refuse,
    // A text that does not fit is cut at the last UTF-8 character that fits
    // with its NUL, never inside a character. For names and titles.
    CutAtCharacter,
};

// Copies `text` (up to its first NUL) into `field` of `size` bytes and
// clears the rest of the field, so no stale bytes travel to the device.
// Returns true when the whole text went in.
inline bool CopyText(char *field, size_t size, const QByteArray &text, FieldFit fit = FieldFit::Refuse)
{
    if (size == 0)
        return false;
    size_t length = std::strlen(text.constData());
    const bool fits = length < size;
    if (!fits) {
        if (fit == FieldFit::Refuse)
            return false;
        length = size - 1;
        // Back up over continuation bytes (10xxxxxx) to the start of the
        // character that would be split.
        while (length > 0 && (static_cast<unsigned char>(text.at(int(length))) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(field, text.constData(), length);
    std::memset(field + length, 0, size - length);
    return fits;
}

template <size_t N>
bool CopyField(char (&field)[N], const QByteArray &text, FieldFit fit = FieldFit::Refuse)
{
    return CopyText(field, N, text, fit);
}

// The way back: the text of a field the device filled, up to its NUL and
// never past the field, should the device have left none in it.
inline QByteArray FieldText(const char *field, size_t size)
{
    return QByteArray(field, int(qstrnlen(field, uint(size))));
}

template <size_t N>
QByteArray FieldText(const char (&field)[N])
{
    return FieldText(field, N);
}

#endif // COPYFIELD_H
