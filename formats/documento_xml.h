// The centre document: a small RAII layer over libxml2 that offers what the readers need:
// load, select by absolute path, attributes, parent, line. No network, no external
// entities, no DTD loading.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace tov {

class XmlNode {
 public:
  XmlNode() = default;
  explicit XmlNode(_xmlNode* node) : node_(node) {}

  bool valid() const { return node_ != nullptr; }
  std::string name() const;  // UTF-8
  int line() const;          // line of the element's start tag in the file
  XmlNode parent() const;    // an invalid node above the root
  bool hasAttribute(std::string_view name) const;
  // The attribute's text trimmed of characters <= 32 at both ends, as UTF-16;
  // empty when the element has no such attribute.
  std::u16string attributeWide(std::string_view name) const;
  // The same, converted to Windows-1252; characters the code page lacks become '?'
  // and are appended to *lost when given.
  std::string attribute(std::string_view name, std::u16string* lost = nullptr) const;

  _xmlNode* raw() const { return node_; }

 private:
  _xmlNode* node_ = nullptr;
};

class XmlDocument {
 public:
  // What a load builds: the whole tree; the elements but no text, comments or instructions
  // inside the root, for a reader of attributes (kept beside libxml2's tree, so read them
  // through XmlNode); or only the root element with its attributes (no children) and the
  // nodes outside it. All check the whole document alike.
  enum class Keep { Everything, Elements, RootAndOutside };

  // Parses the file. Throws ErrorXml with the Spanish message for a document that is
  // not well-formed, whose root is not Centro, or that uses external entities.
  static XmlDocument load(const std::filesystem::path& file, Keep keep = Keep::Everything);

  XmlDocument(XmlDocument&&) noexcept;
  XmlDocument& operator=(XmlDocument&&) noexcept;
  ~XmlDocument();

  // Every element at an absolute child path such as "/Centro/Materias/Materia",
  // in document order. A path that is not there gives an empty list.
  // Walk a list by iterating this vector: a list of one element is read like any other.
  std::vector<XmlNode> selectNodes(std::string_view absolutePath) const;
  XmlNode root() const;
  const std::filesystem::path& file() const { return file_; }

  _xmlDoc* raw() const { return doc_.get(); }

 private:
  struct Free {
    void operator()(_xmlDoc* d) const;
  };
  struct AttributeStore;  // where a load of elements keeps their attributes
  XmlDocument(std::unique_ptr<_xmlDoc, Free> doc, std::filesystem::path file,
              std::unique_ptr<AttributeStore> attributes);
  // Declared before the tree, so that it outlives the elements that point into it.
  std::unique_ptr<AttributeStore> attributes_;
  std::unique_ptr<_xmlDoc, Free> doc_;
  std::filesystem::path file_;
};

}  // namespace tov
