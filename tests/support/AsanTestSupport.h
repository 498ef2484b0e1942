// Whether this test program runs under AddressSanitizer (DREVANTH_TEST_ASAN),
// and its interface for asking what is poisoned.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define DREVANTH_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DREVANTH_TEST_ASAN 1
#endif
#endif

#if defined(DREVANTH_TEST_ASAN)
#include <sanitizer/asan_interface.h>
#endif
