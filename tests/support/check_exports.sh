#!/bin/sh
# Checks the dynamic symbol tables: the support classes and the toolbox's memory
# calls and host face are exported; no internal helper of the library is.
# Usage: check_exports.sh libvelkui.so libtoolbox.so
set -u
velkui=$1
toolbox=$2
status=0

velkui_syms=$(nm -D --defined-only -C "$velkui") || exit 1
toolbox_syms=$(nm -D --defined-only "$toolbox") || exit 1
toolbox_demangled=$(nm -D --defined-only -C "$toolbox") || exit 1

expect() {  # expect <what> <symbol text> <symbols>
  if ! printf '%s\n' "$3" | grep -qF -- "$2"; then
    echo "missing from $1: $2"
    status=1
  fi
}

for s in 'LArray::LArray()' 'LArray::AddItem(' 'LArray::InsertItemsAt(' \
         'LArray::RemoveItemsAt(' 'LArray::Sort()' 'LArray::FetchIndexOfKey(' \
         'LArray::Lock() const' 'LArray::GetItemsHandle()' 'vtable for LArray' \
         'typeinfo for LArray' 'LComparator::Compare(' 'LComparator::sComparator' \
         'LLongComparator::sLongComparator' 'vtable for LLongComparator' \
         'LException::what() const' 'LException::sErrorStr255' \
         'LException::sErrorStringPtr' 'typeinfo for LException' \
         'LArray::SwapItems(' 'LArray::MoveItem(' 'LArray::AttachIterator(' 'LArray::DetachIterator(' \
         'LArrayIterator::LArrayIterator(' 'LArrayIterator::Next(' 'LArrayIterator::ItemsRemoved(' \
         'StHandleLocker::Adopt(' 'StHandleState::StHandleState(' 'StHandleBlock::Dispose()' \
         'StClearHandleBlock::StClearHandleBlock(' 'StTempHandle::StTempHandle(' 'StResource::Detach()' \
         'StPointerBlock::CopyPointerBlock(' 'StClearPointerBlock::StClearPointerBlock(' \
         'InitializeHeap(short)' 'BlocksAreEqual(' 'BlockCompare(void const*, void const*, int)' \
         'BlockCompare(void const*, void const*, int, int)' 'LString::CopyPStr(' 'LString::Find(' \
         'LString::ToolboxCompareText(' 'LString::CompareIgnoringCase(' 'vtable for LStr255' \
         'LString::GetSystemNumberParts(' 'typeinfo for LString' 'LStringRef::SetStringRef(' \
         'operator+(LString const&, LString const&)' 'Str_Empty' 'Str_Dummy' 'Rect_0000' 'Point_00'; do
  expect libvelkui "$s" "$velkui_syms"
done

leaks=$(printf '%s\n' "$velkui_syms" |
        grep -E 'anonymous namespace|support_detail|StArrayLock|ThrowAllocationError|GiveBack|CopyOf|LookedUp')
if [ -n "$leaks" ]; then
  echo "internal helpers exported by libvelkui:"
  echo "$leaks"
  status=1
fi

for s in MemError NewHandle NewHandleClear TempNewHandle SetHandleSize GetHandleSize \
         HLock HUnlock HGetState HSetState DisposeHandle HandToHand NewPtr NewPtrClear \
         GetPtrSize DisposePtr MoreMasters; do
  if ! printf '%s\n' "$toolbox_syms" | grep -qE " T $s\$"; then
    echo "missing from libtoolbox: $s (as a C symbol)"
    status=1
  fi
done
for s in 'toolbox::host::FailAllocation(' 'toolbox::host::ClearAllocationFailures()' \
         'toolbox::host::InjectedFailures()' 'toolbox::host::LiveHandles()' \
         'toolbox::host::LivePointers()' 'toolbox::host::SetScramble(bool)'; do
  expect libtoolbox "$s" "$toolbox_demangled"
done

[ $status -eq 0 ] && echo "exported symbols as expected"
exit $status
