// The player's coupons, newest first: every row the program prints, as a
// pools coupon of thirteen matches with a box each for 1, X and 2, the
// covered ones marked. They are read from the program's own output, its lines
// "Tipsmatch N: MARK", and kept in the browser (IndexedDB), shared by its
// tabs, across reloads and restarts: the newest 100, numbered from 1 since the
// list was last emptied. Where the browser keeps nothing the page still shows
// them. The console's text is not touched.
const OUTCOMES = ["1", "x", "2"];
const KEY = "tipsrad-coupons";
const MOST = 100;
const LINE = /^Tipsmatch (\d+): +([1x2]{1,3})$/;
const empty = () => ({ next: 1, coupons: [], version: 0 });

// "Kupong 3 · 8 192 rader": the number and the single rows the coupon holds.
function caption(coupon) {
  const marks = coupon.lines.map((line) => LINE.exec(line)[2]);
  const rows = marks.reduce((product, mark) => product * mark.length, 1);
  const grouped = String(rows).replace(/\B(?=(\d{3})+$)/g, " ");
  return `Kupong ${coupon.number} · ${grouped} ${rows === 1 ? "rad" : "rader"}`;
}

// Whether `data` reads as a kept list: coupons numbered below the next
// number, newest first, each the 13 lines of a row.
function readable(data) {
  const { next, coupons } = data ?? {};
  return Number.isInteger(next) && Array.isArray(coupons) && coupons.length <= MOST &&
    coupons.every((coupon, i) => Number.isInteger(coupon?.number) && coupon.number < next &&
      (i === 0 || coupon.number < coupons[i - 1].number) && isRow(coupon.lines));
}
function isRow(lines) {
  return Array.isArray(lines) && lines.length === 13 &&
    lines.every((line, match) => Number(LINE.exec(line)?.[1]) === match + 1);
}

// The database of the kept list, made on the first visit with the list that
// the page kept in localStorage before, if any; null where there is none.
function opened() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open("tipsrad", 1);
    request.onupgradeneeded = () => {
      const text = localStorage.getItem(KEY);
      const store = request.result.createObjectStore("lists");
      if (text !== null) store.put(parsed(text), KEY);
      request.transaction.oncomplete = () => localStorage.removeItem(KEY);
    };
    request.onsuccess = () => {
      request.result.onversionchange = () => request.result.close();
      resolve(request.result);
    };
    request.onerror = () => reject(request.error);
  }).catch(() => null);
}
function parsed(text) {
  try {
    return JSON.parse(text);
  } catch {
    return text;
  }
}

// Makes `section` (#coupons: buttons #print and #clear, and an <ol>) the
// player's list, each coupon made from `template`; `say(text)` tells the
// player something, and `home` has the focus once the list has none left.
// Returns read(text), to be given the program's output as it comes, and
// restart(), for a new run of the program.
export function couponsOf(section, template, say, home) {
  const list = section.querySelector("ol");
  const tabs = self.BroadcastChannel ? new BroadcastChannel(KEY) : null;
  let database = opened();
  let keeping = true;
  let kept = empty();
  let pending = [];  // edits not yet stored
  let partial = "";
  let row = [];
  let told = false;  // whether a button has said what it did, until the next row

  // Where the browser keeps nothing, or stops keeping (its quota full), the
  // page keeps the list itself, for as long as it is open.
  function unkept() {
    if (keeping) say("Kupongerna sparas inte i den här webbläsaren.");
    keeping = false;
    database = Promise.resolve(null);
  }
  // Edits the list as stored, which another tab may have changed since, in one
  // transaction, so that no tab's edit is lost, and shows it, sending it to
  // the other tabs; with no edit, shows it as stored. An unreadable one goes.
  // An edit is an object: { add: lines, id }, { remove: number } or { clear }.
  function change(...edits) {
    pending.push(...edits);
    let stored = null;
    return database.then((db) => new Promise((resolve, reject) => {
      const transaction = db.transaction("lists", "readwrite");
      const store = transaction.objectStore("lists");
      store.get(KEY).onsuccess = ({ target }) => {
        stored = target.result ?? empty();
        if (!readable(stored)) {
          say("Sparade kuponger som inte gick att läsa har tagits bort.");
          stored = empty();
        }
        edited(stored, edits);
        store.put(stored, KEY);
      };
      transaction.oncomplete = resolve;
      transaction.onabort = () => reject(transaction.error);
    })).then(() => {
      if (edits.length) tabs?.postMessage(stored);
      take(stored);
    }, () => {
      unkept();
      edited(kept, edits);
      show();
    }).then(() => {
      pending = pending.filter((edit) => !edits.includes(edit));
    });
  }
  // Each edit counts a version, so that of two lists sent by other tabs, in
  // whatever order they come, the newer is shown. A row already on the list
  // (stored by a page that went before it knew) is not added again.
  function edited(list, edits) {
    for (const { add, id, remove, clear } of edits) {
      if (isRow(add) && !list.coupons.some((coupon) => coupon.id === id)) {
        list.coupons.unshift({ number: list.next, lines: add, id });
        list.coupons.splice(MOST);
        list.next += 1;
      }
      list.coupons = list.coupons.filter((coupon) => !clear && coupon.number !== remove);
      if (list.coupons.length === 0) list.next = 1;
      list.version = (list.version ?? 0) + 1;
    }
  }
  function take(list) {
    if ((list.version ?? 0) >= kept.version) kept = list;
    show();
  }

  // Each coupon is made once, and kept while the list holds it.
  let made = new Map();
  function show() {
    const making = new Map(kept.coupons.map((coupon) => {
      const key = [coupon.number, ...coupon.lines].join("\n");
      return [key, made.get(key) ?? element(coupon)];
    }));
    list.replaceChildren(...making.values());
    made = making;
    section.hidden = kept.coupons.length === 0;
  }
  function element(coupon) {
    const item = template.content.firstElementChild.cloneNode(true);
    const body = item.querySelector("tbody");
    item.querySelector("caption").textContent = caption(coupon);
    for (const line of coupon.lines) {
      const [, match, mark] = LINE.exec(line);
      const cells = body.insertRow();
      const header = cells.appendChild(document.createElement("th"));
      header.scope = "row";
      header.textContent = match;
      header.setAttribute("aria-label", `Match ${match}`);
      for (const outcome of OUTCOMES) {
        cells.insertCell().textContent = mark.includes(outcome) ? outcome.toUpperCase() : "";
      }
    }
    const shared = item.querySelector(".share");
    shared.addEventListener("click", () => share(coupon, shared));
    // The focus goes to the coupon that takes its place, or home.
    item.querySelector(".remove").addEventListener("click", () => {
      const near = item.nextElementSibling ?? item.previousElementSibling;
      change({ remove: coupon.number })
        .then(() => (near?.isConnected ? near.querySelector(".remove") : home).focus());
    });
    return item;
  }

  // The caption and the program's own lines, for a friend without the page:
  // the share sheet where the browser has one, else the clipboard, which the
  // button says a moment where the player looks, and #status until the next row.
  async function share(coupon, button) {
    const text = [caption(coupon), ...coupon.lines].join("\n");
    if (navigator.share) {
      await navigator.share({ text }).catch(() => {});
      return;
    }
    told = true;
    try {
      await navigator.clipboard.writeText(text);
      say(`Kupong ${coupon.number} är kopierad.`);
      button.textContent = "Kopierad";
      setTimeout(() => { button.textContent = "Dela"; }, 2000);
    } catch {
      say("Kupongen kunde inte kopieras.");
    }
  }

  // Edits not yet stored when the page goes, as in a reload right after a row,
  // are stored by the next page in the tab; a page that comes back from the
  // browser's back-forward cache has stored them itself.
  try {
    change(...JSON.parse(sessionStorage.getItem(KEY)) ?? []);
    sessionStorage.removeItem(KEY);
    addEventListener("pagehide", () => sessionStorage.setItem(KEY, JSON.stringify(pending)));
    addEventListener("pageshow", () => sessionStorage.removeItem(KEY));
  } catch {
    change();
  }
  tabs?.addEventListener("message", ({ data }) => {
    if (keeping && readable(data)) take(data);
  });
  section.querySelector("#print").addEventListener("click", () => print());
  section.querySelector("#clear").addEventListener("click", () => {
    if (confirm("Ta bort alla kuponger?")) change({ clear: true }).then(() => home.focus());
  });

  return {
    read(text) {
      const lines = (partial + text).split("\n");
      partial = lines.pop();
      for (const line of lines) {
        const match = Number(LINE.exec(line)?.[1]);
        if (match === 1) {
          row = [];
          if (told) say("");
          told = false;
        }
        if (match !== row.length + 1) continue;
        row.push(line);
        if (match < 13) continue;
        change({ add: row, id: `${Date.now()}-${Math.random()}` });
      }
    },
    restart() {
      partial = "";
      row = [];
    },
  };
}
