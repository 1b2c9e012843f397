#pragma once

// The maker's identity as shown in the status bar and the About window.
inline constexpr char MakerName[] = "VALD";
inline constexpr char MakerNameMixedCase[] = "Vald Devices";
inline constexpr char MakerEmail[] = "info@vald.example";
inline constexpr char MakerWebAddress[] = "vald.example";
inline constexpr char MakerUrl[] = "https://vald.example";
