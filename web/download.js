// Hands a blob to the browser as a download named name. The object URL is
// let go only a minute later: a browser under load may still be reading the
// blob when the click has returned.
export function save(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}
