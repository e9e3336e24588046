#pragma once
// Export switch of OrbFramework.dll.
#ifdef ORBFRAMEWORK_BUILD
#define ORBFW_API __declspec(dllexport)
#else
#define ORBFW_API __declspec(dllimport)
#endif
