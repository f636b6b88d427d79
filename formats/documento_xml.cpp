#include "formats/documento_xml.h"

#include <libxml/SAX2.h>
#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory_resource>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>

#include "app/errores.h"
#include "formats/windows1252.h"

namespace tov {

namespace {

namespace fs = std::filesystem;

constexpr const char* kRoot = "Centro";

// No network, and big line numbers kept exactly. Never DTDLOAD or NOENT: those would read
// external DTDs and entities. No HUGE either, so libxml2's limits on entity expansion
// hold. Errors come through our structured handler, never printed. COMPACT keeps short texts
// (most attribute values) inside their nodes: a large document is a third fewer allocations.
// It forbids editing those text nodes, which nothing here does: the tree is read, and whole
// nodes are removed or added.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_NOERROR |
                              XML_PARSE_NOWARNING | XML_PARSE_COMPACT;

// libxml2 keeps an element's line in 16 bits; this value means "65535 or more".
constexpr unsigned kLineSaturated = 65535;

std::string displayName(const fs::path& file) {
  const std::u8string u8 = file.u8string();
  return std::string(u8.begin(), u8.end());
}

// The first problem met while parsing; later ones are usually consequences of it.
struct Problem {
  enum Kind { None, NotWellFormed, ExternalEntity } kind = None;
  int line = 0;
  int column = 0;
  std::string message;
};

// In a load of elements, each element's attributes are kept compactly beside the tree, in
// memory the document owns: libxml2 would give every attribute an attribute node and a text
// node, most of a large document's memory and parse time. The element's _private points
// to them; libxml2 leaves that field to applications.
struct CompactAttribute {
  const xmlChar* name;    // local name and prefix from the document's dictionary, which
  const xmlChar* prefix;  // lives as long as the document
  std::string_view value;  // UTF-8, as the parser gives it
  // The value still holds entity and character references, replaced when it is read, as
  // libxml2 replaces them reading an attribute node: a document that repeats a long entity
  // in many attributes is never held expanded.
  bool references;
};
struct CompactAttributes {
  const CompactAttribute* items;
  std::size_t count;
};

// What the parse records, reached from every parser context through _private (the
// contexts libxml2 makes for entity content copy it).
struct ParseState {
  xmlParserCtxtPtr main = nullptr;
  Problem first;
  // Every load checks the whole document; what it builds inside the root depends on this.
  XmlDocument::Keep keep = XmlDocument::Keep::Everything;
  int depth = 0;  // elements open in the main document
  std::pmr::memory_resource* attributeStore = nullptr;  // for a load of elements

  // An element of the main document inside the root, which a root-only load skips.
  bool skipsElement(void* ctx) const {
    return keep == XmlDocument::Keep::RootAndOutside && ctx == main && depth >= 1;
  }
  // Text, comments and the like inside the root, which only a full load builds.
  bool skipsContent(void* ctx) const {
    return keep != XmlDocument::Keep::Everything && ctx == main && depth >= 1;
  }

  void note(Problem::Kind kind, int line, int column, std::string message) {
    if (first.kind != Problem::None) return;
    first = {kind, line, column, std::move(message)};
  }
};

ParseState* stateOf(void* ctx) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  return ctxt ? static_cast<ParseState*>(ctxt->_private) : nullptr;
}

// Where the parse stands now in the main document (the contexts that parse the text of
// an internal entity count lines within that text).
int currentLine(ParseState& state, xmlParserCtxtPtr ctxt) {
  xmlParserCtxtPtr where = state.main ? state.main : ctxt;
  return where->input ? where->input->line : 0;
}
int currentColumn(ParseState& state, xmlParserCtxtPtr ctxt) {
  xmlParserCtxtPtr where = state.main ? state.main : ctxt;
  return where->input ? where->input->col : 0;
}

std::string oneLine(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

void onError(void*, xmlErrorPtr error) {
  if (!error || error->level < XML_ERR_ERROR) return;  // warnings do not stop a load
  auto* ctxt = static_cast<xmlParserCtxtPtr>(error->ctxt);
  ParseState* state = stateOf(ctxt);
  if (!state) return;
  const bool inMain = ctxt == state->main;
  const int line = inMain ? error->line : currentLine(*state, ctxt);
  const int column = inMain ? error->int2 : currentColumn(*state, ctxt);
  // An attribute value may not name an external or unparsed entity: libxml2 says so as a
  // well-formedness error, which we report as the external entity it is.
  if (error->code == XML_ERR_ENTITY_IS_EXTERNAL || error->code == XML_ERR_UNPARSED_ENTITY)
    state->note(Problem::ExternalEntity, line, 0, {});
  else
    state->note(Problem::NotWellFormed, line, column, oneLine(error->message));
}

bool isExternal(const xmlEntity* entity) {
  return entity && (entity->etype == XML_EXTERNAL_GENERAL_PARSED_ENTITY ||
                    entity->etype == XML_EXTERNAL_GENERAL_UNPARSED_ENTITY ||
                    entity->etype == XML_EXTERNAL_PARAMETER_ENTITY);
}

// Without NOENT libxml2 never reads an external entity; it hands the reference to this
// callback instead, where we record it and stop.
void onReference(void* ctx, const xmlChar* name) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  if (ParseState* state = stateOf(ctxt); state && name && name[0] != '#') {
    xmlDocPtr doc = state->main->myDoc ? state->main->myDoc : ctxt->myDoc;
    if (isExternal(xmlGetDocEntity(doc, name))) {
      state->note(Problem::ExternalEntity, currentLine(*state, ctxt), 0, {});
      xmlStopParser(ctxt);
      return;
    }
  }
  if (ParseState* state = stateOf(ctxt); state && state->skipsContent(ctx)) return;
  xmlSAX2Reference(ctx, name);
}

// A reference to an external parameter entity (%name; in the internal subset) is skipped
// by libxml2 without NOENT or DTDLOAD; it comes through this lookup, right after its ';'.
// Declaring an entity makes the same lookup, but never right after a ';'.
xmlEntityPtr onParameterEntity(void* ctx, const xmlChar* name) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  xmlEntityPtr entity = xmlSAX2GetParameterEntity(ctx, name);
  ParseState* state = stateOf(ctxt);
  if (state && isExternal(entity) && ctxt->input && ctxt->input->cur > ctxt->input->base &&
      ctxt->input->cur[-1] == ';') {
    state->note(Problem::ExternalEntity, currentLine(*state, ctxt), 0, {});
    xmlStopParser(ctxt);
    return nullptr;
  }
  return entity;
}

// A value that still points into the parser's input is the text as it stands; one the parser
// had to copy may hold references.
CompactAttribute compactAttribute(std::pmr::memory_resource& store, const xmlChar** attribute) {
  const xmlChar* value = attribute[3];
  const xmlChar* end = attribute[4];
  const auto size = static_cast<std::size_t>(end - value);
  auto* copy = static_cast<char*>(store.allocate(size ? size : 1, 1));
  std::memcpy(copy, value, size);
  const bool references = *end == 0 && std::memchr(value, '&', size) != nullptr;
  return {attribute[0], attribute[1], {copy, size}, references};
}

// The value with its references replaced, through the same calls libxml2's tree uses.
std::string replaceReferences(const xmlNode* node, const CompactAttribute& a) {
  xmlNodePtr list = xmlStringLenGetNodeList(node->doc, reinterpret_cast<const xmlChar*>(a.value.data()),
                                            static_cast<int>(a.value.size()));
  xmlChar* text = xmlNodeListGetString(node->doc, list, 1);
  xmlFreeNodeList(list);
  if (!text) return {};
  std::string result(reinterpret_cast<const char*>(text));
  xmlFree(text);
  return result;
}

void keepAttributes(ParseState& state, xmlParserCtxtPtr ctxt, xmlNodePtr node, int count,
                    int defaulted, const xmlChar** attributes) {
  // Defaulted attributes come from a DTD's declarations, which the tree leaves out unless
  // asked to complete them.
  if ((ctxt->loadsubset & XML_COMPLETE_ATTRS) == 0) count -= defaulted;
  if (count <= 0) return;
  std::pmr::memory_resource& store = *state.attributeStore;
  auto* items = static_cast<CompactAttribute*>(
      store.allocate(sizeof(CompactAttribute) * std::size_t(count), alignof(CompactAttribute)));
  for (int i = 0; i < count; ++i)  // each: local name, prefix, URI, value, value end
    new (items + i) CompactAttribute(compactAttribute(store, attributes + 5 * i));
  node->_private =
      new (store.allocate(sizeof(CompactAttributes), alignof(CompactAttributes)))
          CompactAttributes{items, std::size_t(count)};
}

// libxml2 gives an element the line where its start tag ends, and cuts it at 65535.
// Count back to the '<' so that a start tag over several lines reports its first line,
// and keep lines past 65535 in psvi, which nothing else uses on an element here.
void onStartElement(void* ctx, const xmlChar* localname, const xmlChar* prefix,
                    const xmlChar* uri, int nbNamespaces, const xmlChar** namespaces,
                    int nbAttributes, int nbDefaulted, const xmlChar** attributes) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  ParseState* state = stateOf(ctxt);
  if (state && ctxt == state->main) {
    const bool skip = state->skipsElement(ctx);
    ++state->depth;
    if (skip) return;
  }
  const bool compact = state && ctxt == state->main && state->attributeStore;
  xmlSAX2StartElementNs(ctx, localname, prefix, uri, nbNamespaces, namespaces,
                        compact ? 0 : nbAttributes, compact ? 0 : nbDefaulted, attributes);
  xmlNodePtr node = ctxt->node;
  if (compact && node && node->type == XML_ELEMENT_NODE)
    keepAttributes(*state, ctxt, node, nbAttributes, nbDefaulted, attributes);
  if (!state || ctxt != state->main || !node || node->type != XML_ELEMENT_NODE || !ctxt->input)
    return;
  long line = ctxt->input->line;
  const xmlChar* p = ctxt->input->cur;
  const xmlChar* base = ctxt->input->base;
  while (p > base && *p != '<') {
    --p;
    if (*p == '\n') --line;
  }
  if (*p != '<') return;  // the tag's start is no longer in the buffer: keep libxml2's line
  if (line < static_cast<long>(kLineSaturated)) {
    node->line = static_cast<unsigned short>(line);
  } else {
    node->line = kLineSaturated;
    node->psvi = reinterpret_cast<void*>(static_cast<std::intptr_t>(line));
  }
}

void onEndElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  ParseState* state = stateOf(ctxt);
  if (state && ctxt == state->main) {
    --state->depth;
    if (state->skipsElement(ctx)) return;
  }
  xmlSAX2EndElementNs(ctx, localname, prefix, uri);
}

// Text, CDATA, comments and processing instructions: inside the root, built by a full load
// only.
void onCharacters(void* ctx, const xmlChar* text, int len) {
  if (ParseState* state = stateOf(ctx); state && state->skipsContent(ctx)) return;
  xmlSAX2Characters(ctx, text, len);
}
void onCdata(void* ctx, const xmlChar* text, int len) {
  if (ParseState* state = stateOf(ctx); state && state->skipsContent(ctx)) return;
  xmlSAX2CDataBlock(ctx, text, len);
}
void onComment(void* ctx, const xmlChar* text) {
  if (ParseState* state = stateOf(ctx); state && state->skipsContent(ctx)) return;
  xmlSAX2Comment(ctx, text);
}
void onProcessingInstruction(void* ctx, const xmlChar* target, const xmlChar* data) {
  if (ParseState* state = stateOf(ctx); state && state->skipsContent(ctx)) return;
  xmlSAX2ProcessingInstruction(ctx, target, data);
}

// Defence in depth: should libxml2 ever try to load an outside resource for one of our
// parses, refuse it and record it. Other parses in the process keep the loader they had.
xmlExternalEntityLoader previousLoader = nullptr;

xmlParserInputPtr refusingLoader(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
  if (ParseState* state = stateOf(ctxt); state && ctxt->sax && ctxt->sax->serror == onError) {
    state->note(Problem::ExternalEntity, currentLine(*state, ctxt), 0, {});
    return nullptr;
  }
  return previousLoader ? previousLoader(url, id, ctxt) : nullptr;
}

void installRefusingLoader() {
  static std::once_flag once;
  std::call_once(once, [] {
    previousLoader = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(refusingLoader);
  });
}

// The file goes to libxml2 in blocks, as its own file reader would give it: no copy of the
// whole document is held beside the tree.
struct FileInput {
  std::ifstream in;
  bool failed = false;
};

int readBlock(void* context, char* buffer, int len) {
  auto* input = static_cast<FileInput*>(context);
  input->in.read(buffer, len);
  if (input->in.bad()) {
    input->failed = true;
    return -1;
  }
  return static_cast<int>(input->in.gcount());
}

struct FreeContext {
  void operator()(xmlParserCtxtPtr c) const { xmlFreeParserCtxt(c); }
};

// The qualified name, as the document writes it: "Centro", or "x:Centro" with a prefix.
bool nameIs(const xmlChar* local, const xmlChar* prefix, std::string_view name) {
  if (prefix) {
    const auto* p = reinterpret_cast<const char*>(prefix);
    const std::size_t n = std::strlen(p);
    return name.size() > n && name.substr(0, n) == p && name[n] == ':' &&
           name.substr(n + 1) == reinterpret_cast<const char*>(local);
  }
  return name == reinterpret_cast<const char*>(local);
}

bool nameIs(const xmlNode* node, std::string_view name) {
  return nameIs(node->name, node->ns ? node->ns->prefix : nullptr, name);
}

const xmlAttr* findAttribute(const xmlNode* node, std::string_view name) {
  if (!node || node->type != XML_ELEMENT_NODE) return nullptr;
  for (const xmlAttr* a = node->properties; a; a = a->next)
    if (nameIs(reinterpret_cast<const xmlNode*>(a), name)) return a;
  return nullptr;
}

const CompactAttribute* findCompact(const xmlNode* node, std::string_view name) {
  if (!node || node->type != XML_ELEMENT_NODE || !node->_private) return nullptr;
  const auto* all = static_cast<const CompactAttributes*>(node->_private);
  for (std::size_t i = 0; i < all->count; ++i)
    if (nameIs(all->items[i].name, all->items[i].prefix, name)) return &all->items[i];
  return nullptr;
}

// An attribute's value, whichever way the load kept it: the text as it stands when it needs
// no replacing (the usual case), or what still holds references.
struct AttributeValue {
  bool found = false;
  std::optional<std::string_view> plain;
  const CompactAttribute* compact = nullptr;
  const xmlAttr* node = nullptr;
};

AttributeValue findValue(const xmlNode* element, std::string_view name) {
  AttributeValue v;
  if (const CompactAttribute* c = findCompact(element, name)) {
    v.found = true;
    if (c->references) v.compact = c;
    else v.plain = c->value;
  } else if (const xmlAttr* a = findAttribute(element, name)) {
    v.found = true;
    // One text child is the usual case; entity references inside the value make several.
    const xmlNode* only = a->children;
    if (only && !only->next && only->type == XML_TEXT_NODE && only->content)
      v.plain = reinterpret_cast<const char*>(only->content);
    else v.node = a;
  }
  return v;
}

// The value's text in UTF-8, references replaced.
std::string replacedText(const xmlNode* element, const AttributeValue& v) {
  if (v.plain) return std::string(*v.plain);
  if (v.compact) return replaceReferences(element, *v.compact);
  if (!v.node) return {};
  xmlChar* value = xmlNodeListGetString(v.node->doc, v.node->children, 1);
  if (!value) return {};
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

// --- XmlNode ---

std::string XmlNode::name() const {
  if (!node_ || !node_->name) return {};
  std::string n = reinterpret_cast<const char*>(node_->name);
  if (node_->ns && node_->ns->prefix)
    n = reinterpret_cast<const char*>(node_->ns->prefix) + (":" + n);
  return n;
}

int XmlNode::line() const {
  if (!node_) return 0;
  if (node_->line == kLineSaturated && node_->type == XML_ELEMENT_NODE && node_->psvi)
    return static_cast<int>(reinterpret_cast<std::intptr_t>(node_->psvi));
  return node_->line;
}

XmlNode XmlNode::parent() const {
  if (!node_ || !node_->parent || node_->parent->type != XML_ELEMENT_NODE) return XmlNode();
  return XmlNode(node_->parent);
}

bool XmlNode::hasAttribute(std::string_view name) const {
  return findValue(node_, name).found;
}

std::u16string XmlNode::attributeWide(std::string_view name) const {
  const AttributeValue v = findValue(node_, name);
  if (v.plain) return trimControl(utf8ToUtf16(*v.plain));
  return trimControl(utf8ToUtf16(replacedText(node_, v)));
}

std::string XmlNode::attribute(std::string_view name, std::u16string* lost) const {
  const AttributeValue v = findValue(node_, name);
  // Most values are plain ASCII text, the same in UTF-8, UTF-16 and Windows-1252: trimmed as
  // they are, without the round trip through UTF-16.
  if (v.plain && isAscii(*v.plain)) return std::string(trimControl(*v.plain));
  return toWindows1252(trimControl(utf8ToUtf16(replacedText(node_, v))), lost);
}

// --- XmlDocument ---

void XmlDocument::Free::operator()(_xmlDoc* d) const { xmlFreeDoc(d); }

struct XmlDocument::AttributeStore {
  std::pmr::monotonic_buffer_resource memory;
};

XmlDocument::XmlDocument(std::unique_ptr<_xmlDoc, Free> doc, fs::path file,
                         std::unique_ptr<AttributeStore> attributes)
    : attributes_(std::move(attributes)), doc_(std::move(doc)), file_(std::move(file)) {}
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;
XmlDocument::~XmlDocument() = default;

XmlDocument XmlDocument::load(const fs::path& file, Keep keep) {
  const std::string name = displayName(file);
  // Read the bytes ourselves: paths with accents and blanks then need nothing from
  // libxml2, and it gets no file name from which to resolve anything.
  FileInput input;
  errno = 0;
  input.in.open(file, std::ios::binary);
  if (!input.in) {
    const int err = errno;
    throw ErrorXml("No se puede leer el archivo XML " + name + ": " +
                   (err ? std::strerror(err) : "no se puede abrir"));
  }

  xmlInitParser();
  installRefusingLoader();
  std::unique_ptr<xmlParserCtxt, FreeContext> ctxt(xmlNewParserCtxt());
  if (!ctxt || !ctxt->sax) throw std::bad_alloc();
  ParseState state;
  state.main = ctxt.get();
  ctxt->_private = &state;
  ctxt->sax->serror = onError;
  ctxt->sax->reference = onReference;
  ctxt->sax->getParameterEntity = onParameterEntity;
  ctxt->sax->startElementNs = onStartElement;
  state.keep = keep;
  std::unique_ptr<AttributeStore> attributes;
  if (keep == Keep::Elements) {
    attributes = std::make_unique<AttributeStore>();
    state.attributeStore = &attributes->memory;
  }
  if (keep != Keep::Everything) {
    ctxt->sax->endElementNs = onEndElement;
    // Blanks come as ignorable whitespace when blanks are kept, handled as text.
    if (ctxt->sax->ignorableWhitespace == xmlSAX2Characters) ctxt->sax->ignorableWhitespace = onCharacters;
    ctxt->sax->characters = onCharacters;
    ctxt->sax->cdataBlock = onCdata;
    ctxt->sax->comment = onComment;
    ctxt->sax->processingInstruction = onProcessingInstruction;
  }

  std::unique_ptr<_xmlDoc, Free> doc(
      xmlCtxtReadIO(ctxt.get(), readBlock, nullptr, &input, nullptr, nullptr, kParseOptions));
  if (input.failed)
    throw ErrorXml("No se puede leer el archivo XML " + name + ": error de lectura");

  const Problem& p = state.first;
  if (p.kind == Problem::ExternalEntity)
    throw ErrorXml("El archivo XML usa entidades externas, que no se admiten: " + name +
                   ": línea " + std::to_string(p.line));
  if (p.kind == Problem::NotWellFormed || !doc) {
    const xmlError* last = xmlCtxtGetLastError(ctxt.get());
    const int line = p.kind != Problem::None ? p.line : (last ? last->line : 0);
    const int column = p.kind != Problem::None ? p.column : (last ? last->int2 : 0);
    const std::string message =
        p.kind != Problem::None ? p.message
                                : (last && last->message ? oneLine(last->message)
                                                         : std::string("error desconocido"));
    throw ErrorXml("El archivo XML no es válido: " + name + ": línea " + std::to_string(line) +
                   ", columna " + std::to_string(column) + ": " + message);
  }

  XmlDocument result(std::move(doc), file, std::move(attributes));
  const XmlNode root = result.root();
  if (!root.valid() || root.name() != kRoot)
    throw ErrorXml("El archivo " + name + " no es un documento de centro: el elemento raíz es " +
                   root.name() + ", no " + kRoot);
  return result;
}

XmlNode XmlDocument::root() const {
  return XmlNode(doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr);
}

// A list is walked by iterating this vector, whatever its length: one element is a list too.
std::vector<XmlNode> XmlDocument::selectNodes(std::string_view absolutePath) const {
  if (absolutePath.empty() || absolutePath.front() != '/')
    throw std::invalid_argument("selectNodes: the path must start at the root: " +
                                std::string(absolutePath));
  std::vector<xmlNode*> level;
  if (doc_) level.push_back(reinterpret_cast<xmlNode*>(doc_.get()));
  std::string_view rest = absolutePath.substr(1);
  while (!level.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view step = rest.substr(0, slash);
    std::vector<xmlNode*> next;
    for (xmlNode* parent : level)
      for (xmlNode* child = parent->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE && nameIs(child, step)) next.push_back(child);
    level = std::move(next);
    if (slash == std::string_view::npos) break;
    rest = rest.substr(slash + 1);
  }
  return std::vector<XmlNode>(level.begin(), level.end());
}

}  // namespace tov
