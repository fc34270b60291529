// Bounded text copies. Every copy of text into a fixed-size field goes through
// these helpers: they never write past `capacity` bytes and always leave the
// destination terminated (when capacity is at least 1).
#pragma once
#include <cstddef>

// Copies at most capacity - 1 characters of src; returns the length written.
size_t copyText(char* dst, size_t capacity, const char* src);

// Like copyText, but takes at most `count` characters of src.
size_t copyTextPart(char* dst, size_t capacity, const char* src, size_t count);

// Appends src behind the text already in dst, cutting at the capacity.
size_t appendText(char* dst, size_t capacity, const char* src);

// A message with `argument` in place of its first "%s". Messages can come
// from the user's INI, so the text is never handed to printf: "%%" still
// stands for "%" as in the built-in texts, and any other "%" (a second
// "%s" too) is shown as it is. A null argument counts as empty.
size_t formatMessage(char* out, size_t capacity, const char* format, const char* argument);

template <size_t N>
inline size_t copyText(char (&dst)[N], const char* src) { return copyText(dst, N, src); }
template <size_t N>
inline size_t appendText(char (&dst)[N], const char* src) { return appendText(dst, N, src); }

// Case-insensitive comparison as the system makes it for paths, keys and
// names: characters are equal when their upper-case forms in the ANSI code
// page are. The folding is ASCII until setCaseFolding installs the code
// page's (start-up does, from the platform's upper-casing).
int compareNoCase(const char* a, const char* b);
int compareNoCasePart(const char* a, const char* b, size_t count);
unsigned char foldCase(unsigned char c);
void setCaseFolding(const unsigned char upper[256]);

// ASCII letters in upper case; every other byte as it is.
int upperAscii(unsigned char c);
// Comparison with only ASCII letters folded, for the log's keywords.
int compareNoCasePartAscii(const char* a, const char* b, size_t count);
