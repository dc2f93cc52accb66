// How deeply the elements of an XML text nest, found by a flat scan before any parser
// that recurses per element is let near the text. The scan reads markup the way such a
// parser does (comments, CDATA, declarations and other "<!"/"<?" markup up to their
// ends, quoted attribute values inside a tag) and where the two could disagree it counts
// an element as open, so it may overstate the depth but never understates it.
#pragma once

#include <QByteArray>

class XmlNesting
{
public:
    // The deepest nesting seen, or a number above `limit` as soon as the scan passes it.
    static int maxDepth(const QByteArray &xml, int limit);
};
