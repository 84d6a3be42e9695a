#pragma once

// What a mouse button did: pressed down or let go.
enum class ButtonState { Press, Release };
