#pragma once

// The UTC time at which this executable was built, as 2026-08-23T02:07:48Z.
extern const char* const build_stamp;
