#pragma once

// The staff's fixed measures in points: its lines stand one staff space apart, and a tone's level moves
// half of that (even levels are lines).
inline constexpr double TOVStaffSpace = 5.9;
inline constexpr double TOVLevelPitch = 2.95;
