// Help files (.htp) are simple HTML; the help viewer shows them as plain text. These routines
// turn the file's bytes into that text, keep the title and note where each named anchor
// (<a name="...">, the "#topic" of the viewer's argument) falls in the text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace peghelp {

struct HelpAnchor {
  std::wstring name;
  size_t offset;  // in HelpText::body
};

struct HelpText {
  std::wstring title;  // the <title>, empty when there is none
  std::wstring body;   // lines ended by "\r\n", as a multiline edit control wants them
  std::vector<HelpAnchor> anchors;
};

// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is dropped), else the ANSI
// code page.
std::wstring DecodeHelpBytes(const std::vector<char>& bytes);

// Tags become line breaks where they end a block (p, br, h1-h6, li, div, tr, ...), a list
// item starts with "- ", runs of white space become one space, entities (&amp; &lt; &gt;
// &quot; &apos; &nbsp; &#N; &#xN;) their characters; the content of <title>, <script>,
// <style> and comments is not shown.
HelpText RenderHelp(const std::wstring& html);

// The body offset of the named anchor (names compare without regard to case), or npos.
size_t FindTopic(const HelpText& text, const std::wstring& topic);

}  // namespace peghelp
