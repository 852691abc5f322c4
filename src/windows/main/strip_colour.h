#pragma once
// The input strip's colour: red over a limit, yellow over the typing rate.

enum class StripColour { Normal, Red, Yellow };
