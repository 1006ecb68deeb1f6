// The export macro of kxplatform, shared by its headers.
#pragma once

#if defined(_WIN32)
#if defined(KXPLATFORM_BUILD)
#define KXPLATFORM_API __declspec(dllexport)
#else
#define KXPLATFORM_API __declspec(dllimport)
#endif
#else
#define KXPLATFORM_API __attribute__((visibility("default")))
#endif
