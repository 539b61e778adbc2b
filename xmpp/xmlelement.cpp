#include "xmlelement.h"

#include <algorithm>

QString XmlElement::attribute(QStringView qualifiedName) const
{
    const auto found =
        std::find_if(attributes.cbegin(), attributes.cend(),
                     [qualifiedName](const auto& attribute) { return attribute.first == qualifiedName; });
    return found == attributes.cend() ? QString() : found->second;
}

const XmlElement* XmlElement::child(QStringView localName, QStringView namespaceUri) const
{
    const auto found = std::find_if(children.cbegin(), children.cend(), [&](const XmlElement& child) {
        return child.name == localName && (namespaceUri.isEmpty() || child.ns == namespaceUri);
    });
    return found == children.cend() ? nullptr : &*found;
}
