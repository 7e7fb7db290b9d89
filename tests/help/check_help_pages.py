#!/usr/bin/env python3
"""Checks the help pages in docs/help: every help topic the program's sources name
("Start.htm", "Support.htm#privacy", ...) is a page that has the named part, and every
link and image of the pages stays inside the pages and finds its target."""

import html.parser
import pathlib
import re
import sys
import urllib.parse

# String literals and comments of C++ sources: only the literals name topics, so an
# example file name in a comment is not taken for one.
CPP_TOKENS = re.compile(r'"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|//[^\n]*|/\*.*?\*/', re.S)
TOPIC = re.compile(r'^[\w./-]+\.htm(?:#[\w.-]+)?$')


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.ids = []
        self.links = []  # (tag, address)
        self.scripts = 0
        self.title = ''
        self.images_without_alt = 0
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        values = dict(attrs)
        if 'id' in values:
            self.ids.append(values['id'])
        for name in ('href', 'src'):
            if values.get(name) is not None:
                self.links.append((tag, values[name]))
        for candidate in (values.get('srcset') or '').split(','):
            if candidate.strip():
                self.links.append((tag, candidate.split()[0]))
        if tag == 'script' or any(name.startswith('on') for name in values):
            self.scripts += 1
        if tag == 'img' and not values.get('alt'):
            self.images_without_alt += 1
        self._in_title = tag == 'title'

    def handle_endtag(self, tag):
        if tag == 'title':
            self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data


def source_topics(app_dir):
    topics = set()
    for path in sorted(app_dir.rglob('*')):
        if path.suffix not in ('.cpp', '.h'):
            continue
        for token in CPP_TOKENS.findall(path.read_text(encoding='utf-8')):
            text = token[1:-1]
            if token.startswith('"') and TOPIC.match(text):
                topics.add((text, path.relative_to(app_dir.parent)))
    return topics


def parse_pages(help_dir):
    pages = {}
    for path in sorted(help_dir.rglob('*.htm')):
        page = Page()
        page.feed(path.read_text(encoding='utf-8'))
        pages[path.resolve()] = page
    return pages


def check_link(help_dir, pages, source, address):
    """The problem with one link of the page `source`, or None."""
    parts = urllib.parse.urlsplit(address)
    if parts.scheme or parts.netloc or address.startswith('/'):
        return 'leads outside the help pages'
    target = (source.parent / urllib.parse.unquote(parts.path)).resolve() if parts.path else source
    if help_dir not in target.parents:
        return 'leaves the help folder'
    if not target.is_file():
        return 'names a missing file'
    if parts.fragment and (target not in pages or parts.fragment not in pages[target].ids):
        return 'names a part "%s" the page lacks' % parts.fragment
    return None


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    help_dir = root / 'docs' / 'help'
    pages = parse_pages(help_dir)
    problems = []

    topics = source_topics(root / 'app')
    if not topics:
        problems.append('app/: no help topic found in the sources')
    for topic, where in sorted(topics):
        problem = check_link(help_dir, pages, help_dir / 'index.htm', topic)
        if problem:
            problems.append('%s: help topic "%s" %s' % (where, topic, problem))

    index = help_dir / 'index.htm'
    linked = set()
    for path, page in pages.items():
        name = path.relative_to(help_dir)
        if not page.title.strip():
            problems.append('%s: no title' % name)
        if page.scripts:
            problems.append('%s: holds a script' % name)
        if page.images_without_alt:
            problems.append('%s: an image without alt text' % name)
        for duplicate in sorted({i for i in page.ids if page.ids.count(i) > 1}):
            problems.append('%s: id "%s" given twice' % (name, duplicate))
        for tag, address in page.links:
            problem = check_link(help_dir, pages, path, address)
            if problem:
                problems.append('%s: <%s> "%s" %s' % (name, tag, address, problem))
            elif path == index:
                linked.add((path.parent / urllib.parse.urlsplit(address).path).resolve())
    for path in pages:
        if path != index and path not in linked:
            problems.append('index.htm: no link to %s' % path.relative_to(help_dir))

    for problem in problems:
        print(problem)
    print('%d pages, %d topics, %d problems' % (len(pages), len(topics), len(problems)))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
