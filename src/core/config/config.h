#pragma once

// Stand-in until the configuration records land; the engine only keeps a copy.
struct Config {};
