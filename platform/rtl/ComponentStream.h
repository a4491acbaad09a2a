// The binary component stream: the signature "TPF0", then one object (class name, name, properties as
// name and tagged value, nested objects, end markers), and its conversion to and from the text form.
// Readers never read past the data they are given: truncated or damaged streams raise EReadError.
#pragma once

#include "platform/rtl/Filer.h"

namespace plat {

class TStream;

// Reads the signature and one object from the stream's current position; the stream is left after it.
TFilerObject ReadObjectBinary(TStream& Input);
// Writes the signature and the object.
void WriteObjectBinary(TStream& Output, const TFilerObject& Tree);

// Writes the component (and its children) with the signature; Root as for TWriter.
void WriteComponent(TStream& Stream, TComponent* Component, TComponent* Root = nullptr);
// Reads a component written by WriteComponent (into Root when given, see TReader::ReadRootComponent).
TComponent* ReadComponentFromStream(TStream& Stream, TComponent* Root = nullptr);

// An object's properties as one value of the binary form, for binary properties that carry objects:
// vaList, the stored properties as name and value pairs (as an object's in the stream), vaNull. The
// writer leaves defaults out; the reader raises EReadError for truncated or damaged data and leaves the
// stream after the list. Component references and events are not carried (see TWriter and TReader).
void WritePropertyList(TStream& Output, TPersistent* Instance);
void ReadPropertyList(TStream& Input, TPersistent* Instance);

// Conversions between the two forms; the text side is UTF-8. Input is read from its current position.
void ObjectBinaryToText(TStream& Input, TStream& Output);
void ObjectTextToBinary(TStream& Input, TStream& Output);

} // namespace plat
