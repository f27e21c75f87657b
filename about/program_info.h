#pragma once
// Where the program lives and who answers for it: shown on the "About" page
// and written into every status page.
namespace vask {

inline constexpr char kHomePageAddress[] = "https://vask.example.org/";
inline constexpr char kContactAddress[] = "vask@vask.example.org";

}  // namespace vask
