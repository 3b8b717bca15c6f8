// Array: the constructor, every method of Flash's Array, and sort/sortOn with their flags.
#include "swf/avm1/builtins.h"

#include "swf/avm1/interp.h"
#include "swf/limits.h"

#include <algorithm>
#include <cmath>

namespace swf::avm1 {

namespace sortflag {
inline constexpr int CaseInsensitive = 1;
inline constexpr int Descending = 2;
inline constexpr int UniqueSort = 4;
inline constexpr int ReturnIndexedArray = 8;
inline constexpr int Numeric = 16;
}  // namespace sortflag

std::string joinArray(Vm& vm, const ArrayObject& array, const std::string& separator)
{
    std::string out;
    // Elements a shift left past the length are not part of the array's text.
    const std::size_t count = std::min(array.elements.size(), std::size_t(std::max(array.length(), 0)));
    for (std::size_t i = 0; i < count && !vm.stopped(); ++i) {
        if (i > 0) {
            out += separator;
        }
        out += vm.toString(array.elements[i]);
        if (out.size() > limits::kAvm1MaxStringBytes) {
            vm.abort("A string grew past the engine's limit; the scripts were stopped.");
            break;
        }
    }
    return out;
}

namespace {

Value wrap(ArrayObject* a)
{
    return Value(static_cast<Object*>(a));
}

// Relative start or end positions as slice and splice read them.
std::size_t relative(Vm& vm, const Value& v, std::size_t length, std::size_t fallback)
{
    if (v.isUndefined()) {
        return fallback;
    }
    double n = toInteger(vm.toNumber(v));
    if (n < 0) {
        n += double(length);
    }
    return std::size_t(std::clamp(n, 0.0, double(length)));
}

Value arrayConstructor(Vm& vm, const Value&, const std::vector<Value>& args)
{
    ArrayObject* array = vm.newArray();
    if (args.size() == 1 && args[0].isNumber()) {
        if (!array->setLength(toInt32(args[0].asNumber()))) {
            vm.warnOnce("array length over the engine's limit");
        }
    } else {
        array->elements = args;
    }
    return wrap(array);
}

Value push(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* a = thisArray(self);
    if (!a) {
        return Value();
    }
    if (a->elements.size() + args.size() > limits::kAvm1MaxArrayLength) {
        vm.warnOnce("array length over the engine's limit");
        return Value(double(a->elements.size()));
    }
    a->elements.insert(a->elements.end(), args.begin(), args.end());
    return Value(double(a->elements.size()));
}

Value pop(Vm&, const Value& self, const std::vector<Value>&)
{
    ArrayObject* a = thisArray(self);
    if (!a || a->elements.empty()) {
        return Value();
    }
    Value last = a->elements.back();
    a->elements.pop_back();
    if (a->present.size() > a->elements.size()) {
        a->present.pop_back();
    }
    return last;
}

// shift, unshift and reverse work element by element as Flash does: every element they move is deleted and
// written again, so it becomes a new property (for-in lists it anew, its flags are gone), while a protected element
// stays where it was and a read-only one keeps its value.
std::vector<Value> eraseAll(ArrayObject& a)
{
    std::vector<Value> values = a.elements;  // holes read as undefined
    for (std::size_t i = 0; i < values.size(); ++i) {
        a.eraseElement(i);
    }
    return values;
}

Value shift(Vm&, const Value& self, const std::vector<Value>&)
{
    ArrayObject* a = thisArray(self);
    if (!a || a->elements.empty()) {
        return Value();
    }
    const std::vector<Value> values = eraseAll(*a);
    for (std::size_t i = 0; i + 1 < values.size(); ++i) {
        a->writeElement(i, values[i + 1]);
    }
    a->shortenKeeping(values.size() - 1);
    return values.front();
}

Value unshift(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* a = thisArray(self);
    if (!a) {
        return Value();
    }
    if (a->elements.size() + args.size() > limits::kAvm1MaxArrayLength) {
        vm.warnOnce("array length over the engine's limit");
        return Value(double(a->elements.size()));
    }
    const std::vector<Value> values = eraseAll(*a);
    for (std::size_t i = values.size(); i-- > 0;) {
        a->writeElement(i + args.size(), values[i]);
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        a->writeElement(i, args[i]);
    }
    return Value(double(a->elements.size()));
}

Value slice(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* a = thisArray(self);
    if (!a) {
        return Value();
    }
    const std::size_t n = a->elements.size();
    const std::size_t start = relative(vm, arg(args, 0), n, 0);
    const std::size_t end = relative(vm, arg(args, 1), n, n);
    ArrayObject* out = vm.newArray();
    if (start < end) {
        out->elements.assign(a->elements.begin() + std::ptrdiff_t(start), a->elements.begin() + std::ptrdiff_t(end));
    }
    return wrap(out);
}

Value splice(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* a = thisArray(self);
    if (!a || args.empty() || args[0].isUndefined()) {
        return Value();
    }
    const std::size_t n = a->elements.size();
    const std::size_t start = relative(vm, args[0], n, 0);
    std::size_t count = n - start;
    if (args.size() > 1) {
        const double c = toInteger(vm.toNumber(args[1]));
        if (args[1].isUndefined() || c < 0) {
            return Value();  // an undefined or negative count removes nothing and gives nothing back
        }
        count = std::size_t(std::clamp(c, 0.0, double(n - start)));
    }
    ArrayObject* removed = vm.newArray();
    const auto first = a->elements.begin() + std::ptrdiff_t(start);
    removed->elements.assign(first, first + std::ptrdiff_t(count));
    a->elements.erase(first, first + std::ptrdiff_t(count));
    a->fillHoles();
    a->resetElementBookkeeping();
    if (args.size() > 2) {
        a->elements.insert(a->elements.begin() + std::ptrdiff_t(start), args.begin() + 2, args.end());
    }
    return wrap(removed);
}

Value concat(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* a = thisArray(self);
    ArrayObject* out = vm.newArray(a ? a->elements : std::vector<Value>{});
    for (const Value& v : args) {
        ArrayObject* other = thisArray(v);
        const std::size_t adding = other ? other->elements.size() : 1;
        if (out->elements.size() + adding > limits::kAvm1MaxArrayLength) {
            vm.warnOnce("array length over the engine's limit");
            break;
        }
        if (other) {
            out->elements.insert(out->elements.end(), other->elements.begin(), other->elements.end());
        } else {
            out->elements.push_back(v);
        }
    }
    return wrap(out);
}

Value join(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* a = thisArray(self);
    if (!a) {
        return Value();
    }
    const std::string separator = args.empty() || args[0].isUndefined() ? "," : vm.toString(args[0]);
    return Value(joinArray(vm, *a, separator));
}

Value toString(Vm& vm, const Value& self, const std::vector<Value>&)
{
    ArrayObject* a = thisArray(self);
    return a ? Value(joinArray(vm, *a, ",")) : Value("[object Object]");
}

Value reverse(Vm&, const Value& self, const std::vector<Value>&)
{
    ArrayObject* a = thisArray(self);
    const std::size_t n = a ? a->elements.size() : 0;
    for (std::size_t low = 0, high = n - 1; n > 0 && low < high; ++low, --high) {
        const Value lowValue = a->elements[low];
        const Value highValue = a->elements[high];
        a->eraseElement(low);
        a->eraseElement(high);
        a->writeElement(low, highValue);
        a->writeElement(high, lowValue);
    }
    return self;
}

// Lower case for CASEINSENSITIVE: ASCII and the Latin-1 letters.
std::u32string lower(const std::string& s)
{
    std::u32string units = utf8ToUnits(s);
    for (char32_t& c : units) {
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
            c += 0x20;
        }
    }
    return units;
}

// The default order of sort: strings, or with the NUMERIC flag numbers where both values are numbers (NaN last);
// -1, 0 or 1.
int compareValues(Vm& vm, const Value& a, const Value& b, int flags)
{
    if ((flags & sortflag::Numeric) && a.isNumber() && b.isNumber()) {
        const double x = vm.toNumber(a);
        const double y = vm.toNumber(b);
        if (std::isnan(x) || std::isnan(y)) {
            return std::isnan(x) == std::isnan(y) ? 0 : std::isnan(x) ? 1 : -1;
        }
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (flags & sortflag::CaseInsensitive) {
        const std::u32string x = lower(vm.toString(a));
        const std::u32string y = lower(vm.toString(b));
        return x < y ? -1 : x > y ? 1 : 0;
    }
    const std::u32string x = utf8ToUnits(vm.toString(a));
    const std::u32string y = utf8ToUnits(vm.toString(b));
    return x < y ? -1 : x > y ? 1 : 0;
}

using Compare = std::function<int(const Value&, const Value&)>;

// Flash's own quicksort: the first element of each range is its pivot. Equal elements end in the order this
// leaves them in, which movies see; the scans stay inside their range whatever the script's comparison answers.
template <class Compare3>
void quickSort(std::vector<std::size_t>& items, Compare3 compare)
{
    if (items.size() < 2) {
        return;
    }
    std::vector<std::pair<std::size_t, std::size_t>> ranges{{0, items.size() - 1}};
    while (!ranges.empty()) {
        const auto [low, high] = ranges.back();
        ranges.pop_back();
        if (low >= high) {
            continue;
        }
        const std::size_t pivot = items[low];
        std::size_t left = low + 1;
        std::size_t right = high;
        for (;;) {
            while (left < right && compare(pivot, items[left]) > 0) {
                ++left;
            }
            while (right > low && compare(pivot, items[right]) <= 0) {
                --right;
            }
            if (left >= right) {
                break;
            }
            std::swap(items[left], items[right]);
        }
        std::swap(items[low], items[right]);
        ranges.push_back({right + 1, high});
        if (right > low) {
            ranges.push_back({low, right - 1});
        }
    }
}

// Sorts with the order and flags; returns the sorted result, the index array, or 0 for a failed UNIQUESORT.
// sort() orders ascending and turns the result for DESCENDING (`turnForDescending`); sortOn's order already
// holds the direction.
Value sortElements(Vm& vm, ArrayObject* a, const Compare& order, int flags, bool turnForDescending)
{
    std::vector<std::size_t> index(a->elements.size());
    for (std::size_t i = 0; i < index.size(); ++i) {
        index[i] = i;
    }
    const bool descending = (flags & sortflag::Descending) && !turnForDescending;
    auto compare = [&](std::size_t i, std::size_t j) {
        if (vm.stopped()) {
            return 0;
        }
        const int c = order(a->elements[i], a->elements[j]);
        return descending ? -c : c;
    };
    quickSort(index, compare);
    if (turnForDescending && (flags & sortflag::Descending)) {
        std::reverse(index.begin(), index.end());
    }
    if (flags & sortflag::UniqueSort) {
        for (std::size_t i = 1; i < index.size(); ++i) {
            if (compare(index[i - 1], index[i]) == 0) {
                return Value(0);
            }
        }
    }
    if (flags & sortflag::ReturnIndexedArray) {
        ArrayObject* out = vm.newArray();
        for (std::size_t i : index) {
            out->elements.push_back(Value(double(i)));
        }
        return wrap(out);
    }
    std::vector<Value> sorted;
    sorted.reserve(index.size());
    for (std::size_t i : index) {
        sorted.push_back(a->elements[i]);
    }
    a->elements = std::move(sorted);
    a->fillHoles();
    return wrap(a);
}

Value sort(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* a = thisArray(self);
    if (!a) {
        return Value();
    }
    Value compare = arg(args, 0);
    // Flags come first, or after an order function; another object counts as no order function, and any other
    // primitive makes sort do nothing.
    if (!args.empty() && compare.isPrimitive() && !compare.isNumber()) {
        return Value();
    }
    int flags = 0;
    if (args.size() > 1 && !args[1].isUndefined()) {
        flags = int(toInteger(vm.toNumber(args[1])));
    } else if (compare.isNumber()) {
        flags = int(toInteger(compare.asNumber()));
    }
    if (!vm.isCallable(compare)) {
        compare = Value();
    }
    Compare order;
    if (vm.isCallable(compare)) {
        order = [&vm, compare](const Value& x, const Value& y) {
            const double r = vm.toNumber(vm.call(compare, Value(), {x, y}));
            return r < 0 ? -1 : r > 0 ? 1 : 0;
        };
    } else {
        order = [&vm, flags](const Value& x, const Value& y) { return compareValues(vm, x, y, flags); };
    }
    return sortElements(vm, a, order, flags, true);
}

// The field sortOn compares: the object's own stored value, without its prototypes or a getter's answer; a clip
// gives its properties.
Value sortField(Vm& vm, const Value& object, const std::string& name)
{
    Object* o = object.asObject();
    if (vm.host().isClip(o)) {
        return vm.get(object, name);
    }
    if (const Property* p = o->findOwn(name)) {
        return p->isVirtual() ? Value() : p->value;
    }
    Value special;
    return o->getSpecial(vm, name, special) ? special : Value();
}

Value sortOn(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* a = thisArray(self);
    if (!a || args.empty()) {
        return Value();
    }
    std::vector<std::string> fields;
    if (ArrayObject* list = thisArray(arg(args, 0))) {
        for (const Value& v : list->elements) {
            fields.push_back(vm.toString(v));
        }
    } else {
        fields.push_back(vm.toString(arg(args, 0)));
    }
    // One set of flags for all fields, or an array with one per field (ignored when the counts differ); the first
    // field's flags choose the result (UNIQUESORT, RETURNINDEXEDARRAY, DESCENDING).
    std::vector<int> fieldFlags(fields.size(), 0);
    if (ArrayObject* list = thisArray(arg(args, 1))) {
        for (std::size_t i = 0; i < fields.size() && list->elements.size() == fields.size(); ++i) {
            fieldFlags[i] = int(toInteger(vm.toNumber(list->elements[i])));
        }
    } else {
        std::fill(fieldFlags.begin(), fieldFlags.end(), int(toInteger(vm.toNumber(arg(args, 1)))));
    }
    const int flags = fieldFlags.empty() ? 0 : fieldFlags[0];
    Compare order = [&vm, fields, fieldFlags, flags](const Value& x, const Value& y) {
        if (!x.isObject() || !y.isObject()) {
            return compareValues(vm, x, y, flags);  // primitives are not boxed: they compare as themselves
        }
        for (std::size_t i = 0; i < fields.size(); ++i) {
            int c = compareValues(vm, sortField(vm, x, fields[i]), sortField(vm, y, fields[i]), fieldFlags[i]);
            // A field's own DESCENDING turns its order when it differs from the first field's.
            if ((fieldFlags[i] ^ flags) & sortflag::Descending) {
                c = -c;
            }
            if (c != 0) {
                return c;
            }
        }
        return 0;
    };
    return sortElements(vm, a, order, flags, false);
}

// Writes the scratch array's elements back over the object's indexed properties and its length.
void storeElements(Vm& vm, Object* o, const ArrayObject& scratch, std::size_t before)
{
    const Value self(o);
    for (std::size_t i = 0; i < scratch.elements.size(); ++i) {
        vm.set(self, std::to_string(i), scratch.elements[i]);
    }
    for (std::size_t i = scratch.elements.size(); i < before; ++i) {
        vm.remove(o, std::to_string(i));
    }
    vm.set(self, "length", Value(double(scratch.elements.size())));
}

// Array's methods are generic: on an object that is not an array they work on its "length" and indexed properties,
// copied into a scratch array and, for the methods that change the array, written back afterwards.
NativeFunction generic(NativeFunction method, bool changes)
{
    return [method, changes](Vm& vm, const Value& self, const std::vector<Value>& args) {
        Object* o = self.asObject();
        if (!o || o->kind() == ObjectKind::Array || o->kind() == ObjectKind::Super) {
            if (changes && o && o->kind() == ObjectKind::Array) {
                static_cast<ArrayObject*>(o)->attachLength();  // the methods work on the stored slots
            }
            return method(vm, self, args);
        }
        const double length = toInteger(vm.toNumber(vm.get(self, "length")));
        const auto count = std::size_t(std::clamp(length, 0.0, double(limits::kAvm1MaxArrayLength)));
        ArrayObject* scratch = vm.newArray();
        for (std::size_t i = 0; i < count && !vm.stopped(); ++i) {
            scratch->elements.push_back(vm.get(self, std::to_string(i)));
        }
        Value result = method(vm, wrap(scratch), args);
        if (changes && !vm.stopped()) {
            storeElements(vm, o, *scratch, count);
        }
        return result.asObject() == scratch ? self : result;
    };
}

}  // namespace

void installArray(Vm& vm)
{
    Builtins& b = vm.builtins();
    b.arrayProto = vm.newObject();
    b.arrayCtor = makeClass(vm, "Array", b.arrayProto, arrayConstructor);
    Object* p = b.arrayProto;
    vm.method(p, "push", generic(push, true));
    vm.method(p, "pop", generic(pop, true));
    vm.method(p, "shift", generic(shift, true));
    vm.method(p, "unshift", generic(unshift, true));
    vm.method(p, "slice", generic(slice, false));
    vm.method(p, "splice", generic(splice, true));
    vm.method(p, "concat", generic(concat, false));
    vm.method(p, "join", generic(join, false));
    vm.method(p, "toString", toString);
    vm.method(p, "reverse", generic(reverse, true));
    vm.method(p, "sort", generic(sort, true));
    vm.method(p, "sortOn", generic(sortOn, true));
    Object* ctor = b.arrayCtor;
    ctor->put("CASEINSENSITIVE", Value(sortflag::CaseInsensitive), prop::Hidden | prop::ReadOnly);
    ctor->put("DESCENDING", Value(sortflag::Descending), prop::Hidden | prop::ReadOnly);
    ctor->put("UNIQUESORT", Value(sortflag::UniqueSort), prop::Hidden | prop::ReadOnly);
    ctor->put("RETURNINDEXEDARRAY", Value(sortflag::ReturnIndexedArray), prop::Hidden | prop::ReadOnly);
    ctor->put("NUMERIC", Value(sortflag::Numeric), prop::Hidden | prop::ReadOnly);
}

}  // namespace swf::avm1
