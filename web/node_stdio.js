// Under node, standard output and error are non-blocking when they are pipes:
// a write that the reader is not ready for fails with EAGAIN, and the runtime
// drops it without a word. Blocking writes wait for the reader, as a native
// program's do. (Files and terminals need nothing.)
for (const stream of [process.stdout, process.stderr]) {
  if (stream._handle && stream._handle.setBlocking) stream._handle.setBlocking(true);
}
