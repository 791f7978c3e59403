#pragma once

class Platform;
class QString;

// The addresses of the program's web site. Every link of the program is one of
// these, opened through OpenLink.
namespace Links {

// The home page: the "Help" menu entry, the status-bar address field and the
// about box's website and purple labels.
inline constexpr char HomePage[] = "https://vorsen.example.org/";

// The donation page: the donation labels of the about and donation boxes.
inline constexpr char DonationPage[] = "https://vorsen.example.org/donate";

// The article explaining the program: "Help" -> "How to use?".
inline constexpr char HowToUsePage[] = "https://vorsen.example.org/how-to-use";

} // namespace Links

// Opens the address in the user's browser. When no browser can be started, a
// warning gives the address, so that the user can open it by hand.
void OpenLink(Platform& platform, const QString& url);

// The text of that warning.
QString NoBrowserText(const QString& url);
