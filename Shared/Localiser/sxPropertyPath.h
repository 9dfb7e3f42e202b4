// Property paths: a dotted path from a form's component to one string property or one line of a
// string list, such as "LanguagesBTN.Caption", "Grid.Columns[2].Title" or "Notes.Lines.Strings[0]".
// The form-string template writes them; form translation writes a text to where one leads.
//
// A segment is a name, or a name with an index "[" integer "]". Names of components and properties
// match without regard to ASCII letter case. The first segment names the root component itself or
// a component it owns; segments before it that name no component are passed over. Each following
// segment names a published object-valued property (with an index: an item of a collection); the
// last one a string property, or, with an index, a line of a string list.
#pragma once

#include "Classes.h"
#include "RtlStrings.h"

#include <cstdint>
#include <string_view>

// Splits a segment into its name and index. Without "[" the segment stays as it is and Index is -1.
// Otherwise Segment becomes what precedes the first "[" and Index the integer between it and the
// next "]", both without blanks at their ends; anything after the "]" is ignored. A segment with
// "[" but no "]" raises Exception "Invalid property name"; an index that is not an integer,
// EConvertError "'%s' is not a valid integer value".
void SplitIndex(AnsiString& Segment, std::int32_t& Index);

// Writes Text to where Path leads from Root. A path that leads nowhere writes nothing and raises
// nothing: no such component, a middle property that holds no persistent object, an index on what
// is not a collection or string list, a last property of a kind other than the three string kinds,
// a line index outside the list. Raised: the errors of SplitIndex, the list-index error of a
// collection index out of range, EPropertyError "Property %s does not exist" for a segment without
// index naming no property of the object reached, and whatever the property's setter raises. Only
// the replacement of a string-list line is guarded: its errors are dropped.
void SetPropertyText(TComponent* Root, std::string_view Path, const AnsiString& Text);
