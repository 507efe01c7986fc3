// The HTML tag names the tokenizer knows, each with a fixed id from 1.
#pragma once

enum HtmlTagId : int {
  kHtmlTagB = 6,
  kHtmlTagI = 12,
  kHtmlTagU = 13,
  kHtmlTagFont = 20,
  kHtmlTagStyle = 29,
  kHtmlTagScript = 30,
  kHtmlTagS = 82,
  kHtmlTagStrike = 86,
  kHtmlTagCount = 93,
};

// Id of the tag name (any letter case), or 0 when it is not a known tag.
int HtmlTagIdOf(const char* name);

// The upper-case name of a tag id, or null outside 1..kHtmlTagCount.
const char* HtmlTagName(int id);
